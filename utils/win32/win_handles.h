#pragma once
// Small owners for the Windows handles the utilities open.
#include <windows.h>

#include <utility>

namespace Utils::Win32 {

template <typename T, typename Closer>
class Unique {
 public:
  Unique() = default;
  explicit Unique(T value) : m_Value(value) {}
  ~Unique() { Reset(); }
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  Unique(Unique&& other) noexcept : m_Value(std::exchange(other.m_Value, T{})) {}
  Unique& operator=(Unique&& other) noexcept {
    if (this != &other) {
      Reset();
      m_Value = std::exchange(other.m_Value, T{});
    }
    return *this;
  }
  T Get() const { return m_Value; }
  T* Out() {
    Reset();
    return &m_Value;
  }
  explicit operator bool() const { return Closer::IsValid(m_Value); }
  void Reset() {
    if (Closer::IsValid(m_Value)) Closer::Close(m_Value);
    m_Value = T{};
  }

 private:
  T m_Value{};
};

struct HandleCloser {
  // Both failure values of the handle-returning functions count as no handle.
  static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
struct LibraryCloser {
  static bool IsValid(HMODULE m) { return m != nullptr; }
  static void Close(HMODULE m) { FreeLibrary(m); }
};
struct RegKeyCloser {
  static bool IsValid(HKEY k) { return k != nullptr; }
  static void Close(HKEY k) { RegCloseKey(k); }
};

using UniqueHandle = Unique<HANDLE, HandleCloser>;
using UniqueLibrary = Unique<HMODULE, LibraryCloser>;
using UniqueRegKey = Unique<HKEY, RegKeyCloser>;

// GetProcAddress result as a typed function pointer.
template <typename Fn>
Fn LookUp(HMODULE module, const char* name) {
  if (!module) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace Utils::Win32
