#pragma once
// The layout parser: one XML document parsed in place.
//
// The whole document is copied once into a zero-terminated wide buffer; parsing
// overwrites delimiters in that buffer with zeros and spaces, so element names,
// attribute names and values are read straight out of it. Elements live in one table of
// fixed-size records; attributes are located lazily, per node, on first use.
//
// Accepted syntax (a deliberately small subset of XML): elements, attributes with
// double-quoted values, text content, comments and declarations (skipped). Entities:
// the five predefined ones, decoded one level; any other '&' stays literal. At the end
// of the text an unclosed root element is accepted.
//
// A failed load leaves the document empty (GetRoot() is invalid) with the reason in
// GetLastErrorMessage() and up to kErrorLocationChars characters of the text where the
// failure was found in GetLastErrorLocation().
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace SkinUI {

class CXmlMarkup;

enum class XmlEncoding : int {
  Utf8 = 0,
  Utf16 = 1,  // only with a byte-order mark
  Ansi = 2,   // the system code page (UTF-8 on POSIX)
};

// A handle of one element. A node with no document is invalid; every operation on an
// invalid node returns an invalid node, an empty string, 0 or false. A node must not
// outlive its document (nor survive a Release or a new Load of it).
class CXmlMarkupNode {
 public:
  // Attribute positions recorded per element; further attributes are ignored.
  static constexpr int kMaxAttributes = 64;

  CXmlMarkupNode() = default;
  CXmlMarkupNode(const CXmlMarkup* owner, int index) : m_Owner(owner), m_Index(index) {}

  bool IsValid() const { return m_Owner != nullptr; }
  CXmlMarkupNode GetParent() const;
  CXmlMarkupNode GetSibling() const;  // next sibling
  CXmlMarkupNode GetChild() const;    // first child
  bool HasChildren() const;
  bool HasSiblings() const;
  const wchar_t* GetName() const;
  const wchar_t* GetValue() const;  // text content before the first child

  int GetAttributeCount();
  bool HasAttributes();
  // "" for an index out of range.
  const wchar_t* GetAttributeName(int index);
  const wchar_t* GetAttributeValue(int index);
  // Case-sensitive name; nullptr when absent.
  const wchar_t* GetAttributeValue(const wchar_t* name);
  // Copies at most capacity - 1 characters and always terminates the buffer (when
  // capacity > 0). False when the attribute is absent (the buffer is then "").
  bool GetAttributeValue(const wchar_t* name, wchar_t* buffer, size_t capacity);

 private:
  void MapAttributes();

  const CXmlMarkup* m_Owner = nullptr;
  int m_Index = 0;
  bool m_Mapped = false;
  int m_AttributeCount = 0;
  struct Pair {
    int32_t name;
    int32_t value;
  };
  Pair m_Attributes[kMaxAttributes] = {};
};

class CXmlMarkup {
 public:
  static constexpr size_t kErrorMessageChars = 99;
  static constexpr size_t kErrorLocationChars = 49;

  CXmlMarkup() = default;
  ~CXmlMarkup() = default;
  CXmlMarkup(const CXmlMarkup&) = delete;
  CXmlMarkup& operator=(const CXmlMarkup&) = delete;

  // Parses a zero-terminated wide string (copied first). False on a syntax error.
  bool Load(const wchar_t* text);
  // Converts bytes (encoding as above; UTF-8 may start with a BOM, UTF-16 must) and
  // parses them. False on a syntax error or an unusable encoding.
  bool LoadFromMemory(const uint8_t* bytes, size_t length, XmlEncoding encoding = XmlEncoding::Utf8);
  // Reads the name through LoadSkinFile (loose file or skin archive), then parses it.
  // A read failure leaves its error text (for example "Could not find ziped file").
  bool LoadFromFile(const std::wstring& name, XmlEncoding encoding = XmlEncoding::Utf8);
  void Release();

  bool IsValid() const { return !m_Elements.empty(); }
  void SetPreserveWhitespace(bool preserve) { m_PreserveWhitespace = preserve; }
  const std::wstring& GetLastErrorMessage() const { return m_ErrorMessage; }
  const std::wstring& GetLastErrorLocation() const { return m_ErrorLocation; }
  // Stores an error as a failed load would (used by loaders outside the parser).
  void SetLastError(const std::wstring& message, const wchar_t* location);

  // Element 1, or an invalid node when the document holds no element.
  CXmlMarkupNode GetRoot() const;

  // One element record: offsets into the text and indexes into the element table
  // (0 = none; record 0 is a placeholder, record 1 the root).
  struct Element {
    int32_t name;
    int32_t parent;
    int32_t sibling;
    int32_t child;
    int32_t data;
  };

 private:
  friend class CXmlMarkupNode;
  bool ParseText(std::wstring text);
  bool Parse();
  bool Fail(const wchar_t* message, size_t position);
  int32_t AppendElement(int32_t nameOffset, int32_t parent);
  // Decodes entities (and folds whitespace) in place from pos until stopChar or the
  // end of the text; returns the end of the decoded run. pos is left on the stop char.
  size_t DecodeInPlace(size_t& pos, wchar_t stopChar);

  std::vector<wchar_t> m_Text;  // zero-terminated
  std::vector<Element> m_Elements;
  bool m_PreserveWhitespace = true;
  std::wstring m_ErrorMessage;
  std::wstring m_ErrorLocation;
};

}  // namespace SkinUI
