#pragma once
// Fixture files of the ui tests (built by make_fixtures.py into the build tree).
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace UiTest {

inline std::wstring FixturePath(const std::wstring& name) {
  const char* dir = std::getenv("PARLINO_UI_FIXTURES");
  if (dir == nullptr) return name;
  // Windows accepts '/' as well.
  return TestSupport::HostPath(dir) + L"/" + name;
}

inline std::vector<uint8_t> ReadBytes(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The product's skin archive (empty when this build has none).
inline std::wstring SkinArchivePath() {
  const char* path = std::getenv("PARLINO_SKIN_ARCHIVE");
  return path != nullptr ? TestSupport::HostPath(path) : std::wstring();
}

}  // namespace UiTest
