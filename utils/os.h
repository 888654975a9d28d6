#pragma once
// Thin OS services for the portable code. One implementation in win32/, one in posix/.
// Paths are wide strings; kPathSeparator is the one separator every path-joining
// helper uses ('\\' on Windows, '/' on POSIX).
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// <windows.h> maps these names to its own profile functions; here they name ours.
// Include this header after <windows.h>.
#undef GetProfileString
#undef GetProfileInt
#undef WriteProfileString

namespace Utils {

extern const wchar_t kPathSeparator;

// dir + separator + name, without doubling a separator already at the end of dir.
std::wstring JoinPath(const std::wstring& dir, const std::wstring& name);
// Last path component (after the last separator of either kind).
std::wstring FileNamePart(const std::wstring& path);
// Everything before the last separator; empty when there is none.
std::wstring DirectoryPart(const std::wstring& path);
// "C:" on Windows; on POSIX the path's nearest existing ancestor.
std::wstring DrivePart(const std::wstring& path);

// --- files
bool PathExists(const std::wstring& path);
bool IsDirectory(const std::wstring& path);
// Creates one directory level; false when it exists already or cannot be created.
bool MakeDirectory(const std::wstring& path);
bool DeleteFilePath(const std::wstring& path);
// Renames, replacing an existing target.
bool MoveFileReplace(const std::wstring& from, const std::wstring& to);
bool CopyFilePath(const std::wstring& from, const std::wstring& to);
// -1 when the file cannot be read.
int64_t FileSize(const std::wstring& path);
// Whole-file helpers for small files; false/empty on failure.
bool ReadWholeFile(const std::wstring& path, std::string& bytes);
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);

// --- process and environment
std::wstring GetModulePath();  // full path of the running executable
std::optional<std::wstring> GetEnv(const std::wstring& name);
uint32_t CurrentProcessId();
uint32_t CurrentThreadId();
std::wstring GetTempFolder();  // ends in a separator; empty on failure

// --- private profile (INI) files, with the Windows functions' rules for what the
// installer reads and writes: section and key names ignore case, values are trimmed,
// one pair of surrounding quotes is removed, values are cut to bufferChars - 1.
std::wstring GetProfileString(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                              const std::wstring& defaultValue, size_t bufferChars = 260);
// Leading white space, optional sign, decimal digits; no digits gives 0; a missing key
// gives defaultValue.
int GetProfileInt(const std::wstring& path, const std::wstring& section, const std::wstring& key, int defaultValue);
// Keeps every other section and key; creates the file when missing (not its folder).
// False for a section, key or value holding a line break, a key holding '=' or
// starting with '[' or ';', a blank key or a section holding ']', which would change
// the file's structure.
bool WriteProfileString(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                        const std::wstring& value);
// The structural check WriteProfileString applies, shared by both platforms.
bool IsWritableProfileEntry(const std::wstring& section, const std::wstring& key, const std::wstring& value);
// The number GetProfileInt reads from a value: leading white space, optional sign,
// decimal digits, wrapping like a 32-bit unsigned accumulator.
int ParseProfileInt(const std::wstring& value);

// --- the current user's registry (an INI file under $XDG_CONFIG_HOME on POSIX)
bool RegGetString(const std::wstring& subKey, const std::wstring& valueName, std::wstring& value);
bool RegSetString(const std::wstring& subKey, const std::wstring& valueName, const std::wstring& value);
bool RegGetDword(const std::wstring& subKey, const std::wstring& valueName, uint32_t& value);
bool RegSetDword(const std::wstring& subKey, const std::wstring& valueName, uint32_t value);

// --- time
struct LocalTime {
  int year, month, day, hour, minute, second, milliseconds;
};
LocalTime GetLocalTimeNow();
uint32_t TickCountMs();  // milliseconds since an arbitrary start, wraps like GetTickCount

// Every retry sleep goes through here, so that tests can count sleeps instead of
// waiting: with a hook installed the hook is called instead of sleeping. Replacing or
// removing a hook returns only when no call of the previous one is still running.
void SleepMs(uint32_t milliseconds);
using SleepHook = std::function<void(uint32_t milliseconds)>;
void SetSleepHookForTesting(SleepHook hook);

}  // namespace Utils
