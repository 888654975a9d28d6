// Private-profile (INI) files and the registry stand-in on POSIX. The files are UTF-8;
// the reading rules follow what GetPrivateProfileStringW shows the installer.
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>
#include <vector>

#include "utils/os.h"
#include "utils/probes.h"
#include "utils/text.h"

namespace Utils {
namespace {

constexpr size_t kRegistryValueChars = 32 * 1024;
// GetPrivateProfileIntW reads through a buffer of this size.
constexpr size_t kProfileIntChars = 30;
constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
constexpr char kLineEnd[] = "\r\n";

// One lock for every profile file: a write is read, change, replace. Never destroyed,
// so that a late writer at exit finds it.
std::mutex& ProfileLock() {
  static std::mutex* lock = new std::mutex;
  return *lock;
}

wchar_t FoldCase(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool SameName(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

// A line as read (bytes without the line end) and as text. Lines the writer does not
// change are written back byte for byte, whatever their encoding.
struct Line {
  std::string raw;
  std::wstring text;
};

struct ProfileFile {
  bool exists = false;
  bool bom = false;
  std::vector<Line> lines;
};

ProfileFile LoadFile(const std::wstring& path) {
  ProfileFile file;
  std::string bytes;
  file.exists = ReadWholeFile(path, bytes);
  if (bytes.compare(0, 3, kUtf8Bom) == 0) {
    file.bom = true;
    bytes.erase(0, 3);
  }
  for (std::string& raw : SplitLines(bytes)) {
    // A zero byte ends the conversion: the line's text is what precedes it.
    std::wstring text = MultiByteToWide(raw, kCodePageUtf8);
    file.lines.push_back(Line{std::move(raw), std::move(text)});
  }
  return file;
}

Line NewLine(const std::wstring& text) { return Line{WideToUtf8(text), text}; }

// "[name]" -> name (up to the first ']'), or nullopt for other lines.
std::optional<std::wstring> SectionName(const std::wstring& line) {
  const std::wstring trimmed = Trim(line);
  if (trimmed.empty() || trimmed[0] != L'[') return std::nullopt;
  const size_t close = trimmed.find(L']');
  return Trim(trimmed.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1));
}

struct KeyLine {
  std::wstring key;
  std::wstring value;
};

std::optional<KeyLine> ParseKeyLine(const std::wstring& line) {
  const std::wstring trimmed = Trim(line);
  if (trimmed.empty() || trimmed[0] == L';') return std::nullopt;
  const size_t equals = trimmed.find(L'=');
  if (equals == std::wstring::npos) return KeyLine{trimmed, L""};
  return KeyLine{Trim(trimmed.substr(0, equals)), Trim(trimmed.substr(equals + 1))};
}

// Index range [begin, end) of the body of the first section called `section`.
bool FindSection(const std::vector<Line>& lines, const std::wstring& section, size_t& begin, size_t& end) {
  for (size_t i = 0; i < lines.size(); ++i) {
    const auto name = SectionName(lines[i].text);
    if (!name || !SameName(*name, section)) continue;
    begin = i + 1;
    end = begin;
    while (end < lines.size() && !SectionName(lines[end].text)) ++end;
    return true;
  }
  return false;
}

std::optional<std::wstring> FindValue(const std::wstring& path, const std::wstring& section, const std::wstring& key) {
  const std::vector<Line> lines = LoadFile(path).lines;
  size_t begin = 0, end = 0;
  if (!FindSection(lines, section, begin, end)) return std::nullopt;
  for (size_t i = begin; i < end; ++i) {
    const auto entry = ParseKeyLine(lines[i].text);
    if (entry && SameName(entry->key, key)) return entry->value;
  }
  return std::nullopt;
}

std::wstring Unquote(const std::wstring& value) {
  if (value.size() >= 2 && (value[0] == L'"' || value[0] == L'\'') && value.back() == value[0]) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

std::wstring CutToBuffer(std::wstring value, size_t bufferChars) {
  if (bufferChars == 0) return {};
  if (value.size() > bufferChars - 1) value.resize(bufferChars - 1);
  return value;
}

// Written beside the file and renamed over it, so that a reader never sees half a file.
bool ReplaceFile(const std::wstring& path, const ProfileFile& file) {
  std::string bytes = file.bom ? kUtf8Bom : "";
  for (const Line& line : file.lines) bytes += line.raw + kLineEnd;
  const std::wstring temp = path + L".tmp" + UIntToWide(CurrentProcessId());
  if (!WriteWholeFile(temp, bytes)) {
    DeleteFilePath(temp);
    return false;
  }
  // The replacement keeps the file's permissions (a private file stays private).
  struct stat existing;
  const std::string narrowPath = WideToMultiByte(path, kCodePageAnsi);
  if (stat(narrowPath.c_str(), &existing) == 0 &&
      chmod(WideToMultiByte(temp, kCodePageAnsi).c_str(), existing.st_mode & 07777) != 0) {
    DeleteFilePath(temp);
    return false;
  }
  if (!MoveFileReplace(temp, path)) {
    DeleteFilePath(temp);
    return false;
  }
  return true;
}

}  // namespace

std::wstring GetProfileString(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                              const std::wstring& defaultValue, size_t bufferChars) {
  std::optional<std::wstring> value;
  {
    std::lock_guard<std::mutex> lock(ProfileLock());
    value = FindValue(path, section, key);
  }
  if (!value) {
    std::wstring fallback = defaultValue;
    while (!fallback.empty() && fallback.back() == L' ') fallback.pop_back();
    return CutToBuffer(fallback, bufferChars);
  }
  return CutToBuffer(Unquote(*value), bufferChars);
}

int GetProfileInt(const std::wstring& path, const std::wstring& section, const std::wstring& key, int defaultValue) {
  const std::wstring value = GetProfileString(path, section, key, L"", kProfileIntChars);
  if (value.empty()) return defaultValue;
  return ParseProfileInt(value);
}

bool WriteProfileString(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                        const std::wstring& value) {
  if (!IsWritableProfileEntry(section, key, value)) return false;
  std::lock_guard<std::mutex> lock(ProfileLock());
  ProfileFile file = LoadFile(path);
  if (!file.exists && PathExists(path)) return false;  // unreadable: never replace what we cannot keep
  std::vector<Line>& lines = file.lines;
  const Line entryLine = NewLine(key + L"=" + value);
  size_t begin = 0, end = 0;
  if (!FindSection(lines, section, begin, end)) {
    if (!lines.empty() && !Trim(lines.back().text).empty()) lines.push_back(NewLine(L""));
    lines.push_back(NewLine(L"[" + section + L"]"));
    lines.push_back(entryLine);
    return ReplaceFile(path, file);
  }
  for (size_t i = begin; i < end; ++i) {
    const auto entry = ParseKeyLine(lines[i].text);
    if (entry && SameName(entry->key, key)) {
      lines[i] = NewLine(entry->key + L"=" + value);
      return ReplaceFile(path, file);
    }
  }
  size_t insertAt = end;
  while (insertAt > begin && Trim(lines[insertAt - 1].text).empty()) --insertAt;
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), entryLine);
  return ReplaceFile(path, file);
}

// --- registry stand-in: $XDG_CONFIG_HOME/parlino/registry.ini, one section per subkey.
// Values are stored typed and quoted ("sz:text", "dword:123") so that blanks survive.
namespace {

constexpr wchar_t kStringTag[] = L"sz:";
constexpr wchar_t kDwordTag[] = L"dword:";
constexpr wchar_t kDefaultValueName[] = L"@";

std::wstring RegistryFile() {
  std::wstring base = GetEnv(L"XDG_CONFIG_HOME").value_or(L"");
  if (base.empty()) {
    const std::wstring home = GetEnv(L"HOME").value_or(L"");
    if (home.empty()) return {};
    base = JoinPath(home, L".config");
  }
  return JoinPath(JoinPath(base, L"parlino"), L"registry.ini");
}

std::wstring ValueKey(const std::wstring& valueName) { return valueName.empty() ? kDefaultValueName : valueName; }

std::wstring Escape(const std::wstring& text) {
  std::wstring out;
  for (wchar_t c : text) {
    if (c == L'\\') {
      out += L"\\\\";
    } else if (c == L'\n') {
      out += L"\\n";
    } else if (c == L'\r') {
      out += L"\\r";
    } else {
      out += c;
    }
  }
  return out;
}

std::wstring Unescape(const std::wstring& text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != L'\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const wchar_t next = text[++i];
    out += next == L'n' ? L'\n' : next == L'r' ? L'\r' : next;
  }
  return out;
}

std::optional<std::wstring> ReadTagged(const std::wstring& subKey, const std::wstring& valueName, const wchar_t* tag) {
  const std::wstring file = RegistryFile();
  if (file.empty() || subKey.empty()) return std::nullopt;
  const std::wstring missing = L"\x01";
  const std::wstring stored = GetProfileString(file, subKey, ValueKey(valueName), missing, kRegistryValueChars);
  if (stored == missing || !StartsWith(stored, tag)) return std::nullopt;
  return stored.substr(std::wstring(tag).size());
}

bool WriteTagged(const std::wstring& subKey, const std::wstring& valueName, const std::wstring& tagged) {
  const std::wstring file = RegistryFile();
  if (file.empty() || subKey.empty()) return false;
  if (!IsDirectory(DirectoryPart(file)) && !CreateDirectoryTree(DirectoryPart(file))) return false;
  return WriteProfileString(file, subKey, ValueKey(valueName), L"\"" + tagged + L"\"");
}

}  // namespace

bool RegGetString(const std::wstring& subKey, const std::wstring& valueName, std::wstring& value) {
  const auto stored = ReadTagged(subKey, valueName, kStringTag);
  if (!stored) return false;
  value = Unescape(*stored);
  return true;
}

bool RegSetString(const std::wstring& subKey, const std::wstring& valueName, const std::wstring& value) {
  return WriteTagged(subKey, valueName, kStringTag + Escape(value));
}

bool RegGetDword(const std::wstring& subKey, const std::wstring& valueName, uint32_t& value) {
  const auto stored = ReadTagged(subKey, valueName, kDwordTag);
  if (!stored || stored->empty()) return false;
  uint64_t number = 0;
  for (wchar_t c : *stored) {
    if (c < L'0' || c > L'9') return false;
    number = number * 10 + static_cast<uint64_t>(c - L'0');
    if (number > 0xFFFFFFFFull) return false;
  }
  value = static_cast<uint32_t>(number);
  return true;
}

bool RegSetDword(const std::wstring& subKey, const std::wstring& valueName, uint32_t value) {
  return WriteTagged(subKey, valueName, kDwordTag + UIntToWide(value));
}

}  // namespace Utils
