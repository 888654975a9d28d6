#include "app/com_scope.h"

ComScope::ComScope() = default;
ComScope::~ComScope() = default;
