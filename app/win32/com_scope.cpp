#include "app/com_scope.h"

#include <objbase.h>

ComScope::ComScope() : m_Initialised(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}

ComScope::~ComScope() {
  if (m_Initialised) CoUninitialize();
}
