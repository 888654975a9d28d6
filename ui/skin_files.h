#pragma once
// The platform pieces of skin loading (one implementation in win32/, one in posix/).
#include <cstdint>
#include <string>
#include <vector>

namespace SkinUI {

// The separator appended to a resource path that lacks one: '\' on Windows, '/' on
// POSIX (where a '\' inside a loose-file name is read as '/').
extern const wchar_t kSkinPathSeparator;

enum class LooseFileResult { Ok, OpenFailed, Empty, TooLarge, ReadFailed };

// Reads a whole regular file (shared read). A file larger than maxBytes is not read.
LooseFileResult ReadLooseFile(const std::wstring& path, uint64_t maxBytes, std::vector<uint8_t>& bytes);

// Folder of the module, up to and including its last separator; empty for no module.
std::wstring ModuleFolder(void* module);

}  // namespace SkinUI
