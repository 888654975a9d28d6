#pragma once
// The shell's folder and path helpers the window-less parts need. One implementation
// in win32/ (the shell functions), one in posix/ (stand-ins).
#include <string>

// Special folders, by their CSIDL numbers.
constexpr int kFolderProgramFiles = 38;
constexpr int kFolderProgramFilesX86 = 42;
constexpr int kFolderCommonDocuments = 46;

// The folder's path without a trailing separator; empty when the system has none.
// POSIX stand-in: every folder is $XDG_DATA_HOME (default ~/.local/share).
std::wstring SpecialFolderPath(int csidl);

// True when the relative path from one directory to the other is exactly "." (the same
// directory, as PathRelativePathToW sees it: letter case ignored on Windows, a trailing
// separator does not matter).
bool IsSameDirectory(const std::wstring& from, const std::wstring& to);
