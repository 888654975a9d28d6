#include "ui/skin_check.h"

#include <cwchar>
#include <cwctype>
#include <set>

#include "ui/seven_zip_archive.h"
#include "ui/skin_values.h"
#include "ui/xml_markup.h"

namespace SkinUI {

namespace {

// A skin may ask for any number of frames; looking up more than this many is pointless.
constexpr int kMaxCheckedFrames = 10000;

constexpr const wchar_t* kImageAttributes[] = {
    L"bkimage",       L"normalimage",   L"hotimage",        L"pushedimage",
    L"focusedimage",  L"disabledimage", L"foreimage",       L"hotforeimage",
    L"fivestatusimage", L"selectedimage", L"selectedhotimage",
};

bool EqualsIgnoringCase(const wchar_t* a, const wchar_t* b) {
  for (; *a != 0 && *b != 0; ++a, ++b) {
    if (std::towlower(static_cast<wint_t>(*a)) != std::towlower(static_cast<wint_t>(*b))) return false;
  }
  return *a == *b;
}

bool EndsWithXml(const std::wstring& path) {
  return path.size() > 4 && EqualsIgnoringCase(path.c_str() + path.size() - 4, L".xml");
}

class LayoutChecker {
 public:
  LayoutChecker(const SevenZipArchive& archive, const std::wstring& layout, SkinCheckReport& report)
      : m_Archive(archive), m_Layout(layout), m_Report(report) {}

  void CheckElement(CXmlMarkupNode& node) {
    const wchar_t* element = node.GetName();
    if (EqualsIgnoringCase(element, L"Window")) {
      CheckImageValue(node.GetAttributeValue(L"layeredimage"));
      CheckImageValue(node.GetAttributeValue(L"shadowimage"));
      return;
    }
    if (EqualsIgnoringCase(element, L"Image")) {
      const wchar_t* restype = node.GetAttributeValue(L"restype");
      if (restype == nullptr || *restype == 0) CheckName(node.GetAttributeValue(L"name"), L"missing image");
      return;
    }
    if (EqualsIgnoringCase(element, L"Include")) {
      CheckName(node.GetAttributeValue(L"source"), L"missing layout");
      return;
    }
    if (EqualsIgnoringCase(element, L"Default")) {
      const wchar_t* list = node.GetAttributeValue(L"value");
      if (list != nullptr) CheckAttributeList(list);
      return;
    }
    const int count = node.GetAttributeCount();
    const wchar_t* pattern = nullptr;
    int frames = 0;
    for (int i = 0; i < count; ++i) {
      const std::wstring name = node.GetAttributeName(i);
      const wchar_t* value = node.GetAttributeValue(i);
      if (IsImageAttribute(name)) CheckImageValue(value);
      if (name == L"sequencebkimage") pattern = value;
      if (EqualsIgnoringCase(name.c_str(), L"sequencecount")) frames = static_cast<int>(std::wcstol(value, nullptr, 10));
    }
    if (pattern != nullptr && *pattern != 0) CheckFrames(pattern, frames);
  }

 private:
  // name="value" pairs, one blank apart (the list syntax of Default elements).
  void CheckAttributeList(const wchar_t* p) {
    for (;;) {
      std::wstring name;
      while (*p != 0 && *p != L'=') name.push_back(*p++);
      if (p[0] != L'=' || p[1] != L'"') return;
      p += 2;
      std::wstring value;
      while (*p != 0 && *p != L'"') value.push_back(*p++);
      if (*p != L'"') return;
      ++p;
      if (IsImageAttribute(name)) CheckImageValue(value.c_str());
      if (*p != L' ') return;
      ++p;
    }
  }

  void CheckFrames(const wchar_t* pattern, int frames) {
    if (frames > kMaxCheckedFrames) frames = kMaxCheckedFrames;
    for (int f = 0; f < frames; ++f) {
      std::wstring name;
      if (!FormatFramePattern(pattern, f, name)) {
        Report(L"bad frame pattern", pattern);
        return;
      }
      CheckImageValue(name.c_str());
    }
  }

  void CheckImageValue(const wchar_t* value) {
    if (value == nullptr || *value == 0) return;
    const ImageValue image = ParseImageValue(value);
    if (image.type == kColorImageType || image.fromResource || image.name.empty()) return;
    CheckName(image.name.c_str(), L"missing image");
  }

  void CheckName(const wchar_t* name, const wchar_t* kind) {
    if (name == nullptr || *name == 0) return;
    ++m_Report.imageReferences;
    if (m_Archive.Find(name) != nullptr) return;
    if (!m_Reported.insert(name).second) return;
    Report(kind, name);
  }

  void Report(const wchar_t* kind, const std::wstring& detail) {
    m_Report.problems.push_back(SkinCheckProblem{m_Layout, kind, detail});
  }

  const SevenZipArchive& m_Archive;
  std::wstring m_Layout;
  SkinCheckReport& m_Report;
  std::set<std::wstring> m_Reported;
};

}  // namespace

bool IsImageAttribute(const std::wstring& name) {
  for (const wchar_t* attribute : kImageAttributes) {
    if (name == attribute) return true;
  }
  return false;
}

SkinCheckReport CheckSkinArchive(const SevenZipArchive& archive) {
  SkinCheckReport report;
  for (const SevenZipArchive::Entry& entry : archive.Entries()) {
    if (!EndsWithXml(entry.path)) continue;
    report.layouts.push_back(entry.path);
    CXmlMarkup markup;
    if (!markup.LoadFromMemory(entry.bytes.data(), entry.bytes.size(), XmlEncoding::Utf8)) {
      report.problems.push_back(SkinCheckProblem{
          entry.path, L"malformed layout", markup.GetLastErrorMessage() + L" at '" + markup.GetLastErrorLocation() + L"'"});
      continue;
    }
    if (!markup.GetRoot().IsValid()) {
      report.problems.push_back(SkinCheckProblem{entry.path, L"malformed layout", L"no element"});
      continue;
    }
    LayoutChecker checker(archive, entry.path, report);
    // Depth-first walk over the element table without recursion.
    std::vector<CXmlMarkupNode> pending{markup.GetRoot()};
    while (!pending.empty()) {
      CXmlMarkupNode node = pending.back();
      pending.pop_back();
      checker.CheckElement(node);
      for (CXmlMarkupNode child = node.GetChild(); child.IsValid(); child = child.GetSibling()) pending.push_back(child);
    }
  }
  return report;
}

}  // namespace SkinUI
