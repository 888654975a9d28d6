#include <cstdio>
#include <string>

#include "download/file_io.h"

FILE* OpenFile(const std::wstring& path, const wchar_t* mode) { return _wfopen(path.c_str(), mode); }
