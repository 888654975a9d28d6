#pragma once
// Consistency check of a skin archive: every layout parses, and every image (and
// included layout) a layout names exists in the archive under the archive's lookup
// rules. Colour images and images taken from program resources are not archive files
// and are not checked.
#include <string>
#include <vector>

namespace SkinUI {

class SevenZipArchive;

struct SkinCheckProblem {
  std::wstring layout;  // the layout's path in the archive
  std::wstring kind;    // "missing image", "missing layout", "malformed layout", "bad frame pattern"
  std::wstring detail;  // the name as written, or the parser's error text and location
};

struct SkinCheckReport {
  std::vector<std::wstring> layouts;  // every *.xml entry, in archive order
  int imageReferences = 0;            // image names looked up (each frame counts)
  std::vector<SkinCheckProblem> problems;
  bool Ok() const { return problems.empty(); }
};

// Attributes of controls whose values are image values (names compare exactly).
bool IsImageAttribute(const std::wstring& name);

// Checks every layout of the archive; each missing name is reported once per layout.
SkinCheckReport CheckSkinArchive(const SevenZipArchive& archive);

}  // namespace SkinUI
