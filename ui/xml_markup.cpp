#include "ui/xml_markup.h"

#include <cstring>
#include <cwchar>
#include <limits>

#include "ui/skin_source.h"
#include "ui/text_decoding.h"

namespace SkinUI {

namespace {

// Offsets are 32-bit; a larger text cannot be described by the element table.
constexpr size_t kMaxTextChars = static_cast<size_t>(std::numeric_limits<int32_t>::max()) - 16;
constexpr size_t kFirstTableCapacity = 500;

constexpr const wchar_t* kExpectedStartTag = L"Expected start tag";
constexpr const wchar_t* kElementName = L"Error parsing element name";
constexpr const wchar_t* kStartTagClosing = L"Expected start-tag closing";
constexpr const wchar_t* kEndTagStart = L"Expected end-tag start";
constexpr const wchar_t* kUnmatchedClosing = L"Unmatched closing tag";
constexpr const wchar_t* kAttributes = L"Error while parsing attributes";
constexpr const wchar_t* kAttributeValue = L"Expected attribute value";
constexpr const wchar_t* kAttributeString = L"Error while parsing attribute string";
constexpr const wchar_t* kUnsupportedEncoding = L"Unsupported text encoding";

bool IsSpace(wchar_t c) { return c != 0 && static_cast<uint32_t>(c) <= 32; }

// Letters, digits, '_' and ':'. Every non-ASCII character counts as a letter, so that
// the rule does not depend on the C library's locale.
bool IsNameChar(wchar_t c) {
  const uint32_t u = static_cast<uint32_t>(c);
  return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' || u == ':' ||
         u >= 0x80;
}

struct Entity {
  const wchar_t* text;  // without the leading '&'
  size_t length;
  wchar_t value;
};
constexpr Entity kEntities[] = {
    {L"amp;", 4, L'&'}, {L"lt;", 3, L'<'}, {L"gt;", 3, L'>'}, {L"quot;", 5, L'"'}, {L"apos;", 5, L'\''},
};

}  // namespace

// ---------------------------------------------------------------------------------
// CXmlMarkup

bool CXmlMarkup::Load(const wchar_t* text) {
  Release();
  if (text == nullptr) return Fail(kExpectedStartTag, 0);
  return ParseText(std::wstring(text));
}

bool CXmlMarkup::LoadFromMemory(const uint8_t* bytes, size_t length, XmlEncoding encoding) {
  Release();
  std::wstring text;
  if (!DecodeDocumentBytes(bytes, length, static_cast<int>(encoding), text)) {
    SetLastError(kUnsupportedEncoding, L"");
    return false;
  }
  return ParseText(std::move(text));
}

bool CXmlMarkup::LoadFromFile(const std::wstring& name, XmlEncoding encoding) {
  Release();
  std::vector<uint8_t> bytes;
  std::wstring error;
  if (!LoadSkinFile(name, bytes, error)) {
    SetLastError(error, L"");
    return false;
  }
  return LoadFromMemory(bytes.data(), bytes.size(), encoding);
}

void CXmlMarkup::Release() {
  m_Text.clear();
  m_Text.shrink_to_fit();
  m_Elements.clear();
  m_Elements.shrink_to_fit();
}

void CXmlMarkup::SetLastError(const std::wstring& message, const wchar_t* location) {
  m_ErrorMessage = message.substr(0, kErrorMessageChars);
  m_ErrorLocation.clear();
  for (size_t i = 0; location != nullptr && location[i] != 0 && i < kErrorLocationChars; ++i)
    m_ErrorLocation.push_back(location[i]);
}

bool CXmlMarkup::Fail(const wchar_t* message, size_t position) {
  const wchar_t* location = position < m_Text.size() ? m_Text.data() + position : L"";
  SetLastError(message, location);
  Release();
  return false;
}

CXmlMarkupNode CXmlMarkup::GetRoot() const {
  if (m_Elements.size() < 2) return CXmlMarkupNode();
  return CXmlMarkupNode(this, 1);
}

bool CXmlMarkup::ParseText(std::wstring text) {
  m_ErrorMessage.clear();
  m_ErrorLocation.clear();
  if (text.size() > kMaxTextChars) text.resize(kMaxTextChars);
  m_Text.assign(text.begin(), text.end());
  m_Text.push_back(0);
  // Record 0 is the placeholder parent of the top level.
  m_Elements.reserve(kFirstTableCapacity);
  m_Elements.push_back(Element{0, 0, 0, 0, 0});
  return Parse();
}

int32_t CXmlMarkup::AppendElement(int32_t nameOffset, int32_t parent) {
  if (m_Elements.size() == m_Elements.capacity()) {
    const size_t capacity = m_Elements.capacity();
    m_Elements.reserve(capacity + capacity / 2 + kFirstTableCapacity);
  }
  m_Elements.push_back(Element{nameOffset, parent, 0, 0, 0});
  return static_cast<int32_t>(m_Elements.size() - 1);
}

size_t CXmlMarkup::DecodeInPlace(size_t& pos, wchar_t stopChar) {
  wchar_t* text = m_Text.data();
  size_t dest = pos;
  while (text[pos] != 0 && text[pos] != stopChar) {
    const wchar_t c = text[pos];
    if (c == L'&') {
      bool decoded = false;
      for (const Entity& entity : kEntities) {
        if (std::wcsncmp(text + pos + 1, entity.text, entity.length) == 0) {
          text[dest++] = entity.value;
          pos += 1 + entity.length;
          decoded = true;
          break;
        }
      }
      if (decoded) continue;
    }
    text[dest++] = c;
    ++pos;
    if (c == L' ' && !m_PreserveWhitespace) {
      // A run of white space after a blank collapses into that blank.
      while (IsSpace(text[pos]) && text[pos] != stopChar) ++pos;
    }
  }
  // The decoded run is never longer than its source; blank out what is left over so
  // that lazy attribute scanning walks over it.
  for (size_t fill = dest; fill < pos; ++fill) text[fill] = L' ';
  return dest;
}

// One pass over the text. Nesting is followed through the parent links of the element
// table instead of recursion, so deep documents cannot exhaust the stack.
bool CXmlMarkup::Parse() {
  wchar_t* text = nullptr;
  size_t pos = 0;
  int32_t parent = 0;
  int32_t previous = 0;  // last element of the current level
  // Per open element: where the zero that ends its content goes once its closing
  // tag has been read (the content may run right up to the next '<').
  std::vector<size_t> pendingContentEnd;
  // The text may end inside the root (or a child of it): the content of every element
  // still open ends where its children began.
  auto acceptEnd = [&]() {
    for (const size_t end : pendingContentEnd) m_Text[end] = 0;
    return true;
  };

  for (;;) {
    text = m_Text.data();
    while (IsSpace(text[pos])) ++pos;
    if (text[pos] == 0 && parent <= 1) return acceptEnd();
    if (text[pos] != L'<') return Fail(kExpectedStartTag, pos);

    if (text[pos + 1] == L'/') {
      if (parent == 0) return true;  // nothing is open: the rest is not read
      // Closing tag of the open element.
      const size_t closeStart = pos;
      pos += 2;
      const wchar_t* name = text + m_Elements[parent].name;
      const size_t nameLength = std::wcslen(name);
      size_t end = pos;
      while (IsNameChar(text[end])) ++end;
      if (end - pos != nameLength || std::wcsncmp(text + pos, name, nameLength) != 0)
        return Fail(kUnmatchedClosing, pos);
      pos = end;
      while (IsSpace(text[pos])) ++pos;
      if (text[pos] != L'>') return Fail(kUnmatchedClosing, pos);
      ++pos;
      text[closeStart] = L' ';
      text[pendingContentEnd.back()] = 0;
      pendingContentEnd.pop_back();
      previous = parent;
      parent = m_Elements[parent].parent;
      continue;
    }

    if (text[pos + 1] == L'!' || text[pos + 1] == L'?') {
      const wchar_t* terminator = text[pos + 1] == L'!' ? L"->" : L"?>";
      const wchar_t* found = std::wcsstr(text + pos + 2, terminator);
      pos = found != nullptr ? static_cast<size_t>(found - text) + 2 : m_Text.size() - 1;
      continue;
    }

    // A new element of this level.
    const size_t nameStart = pos + 1;
    const int32_t element = AppendElement(static_cast<int32_t>(nameStart), parent);
    if (previous == 0) {
      m_Elements[parent].child = element;
    } else {
      m_Elements[previous].sibling = element;
    }
    previous = element;

    pos = nameStart;
    while (IsNameChar(text[pos])) ++pos;
    if (text[pos] == 0) return Fail(kElementName, pos);
    // Name terminators are written only once the parser has moved past them.
    const size_t elementNameEnd = pos;

    for (;;) {
      while (IsSpace(text[pos])) ++pos;
      if (text[pos] == L'/' || text[pos] == L'>') break;
      while (IsNameChar(text[pos])) ++pos;
      const size_t attributeNameEnd = pos;
      while (IsSpace(text[pos])) ++pos;
      if (text[pos] != L'=') return Fail(kAttributes, pos);
      ++pos;
      text[elementNameEnd] = 0;
      text[attributeNameEnd] = 0;
      while (IsSpace(text[pos])) ++pos;
      if (text[pos] != L'"') return Fail(kAttributeValue, pos);
      ++pos;
      const size_t valueStart = pos;
      const size_t valueEnd = DecodeInPlace(pos, L'"');
      if (text[pos] == 0) return Fail(kAttributeString, valueStart);
      // pos is on the closing quote: terminate the decoded value and blank the quote.
      if (valueEnd != pos) text[pos] = L' ';
      text[valueEnd] = 0;
      ++pos;
    }

    if (text[pos] == L'/') {
      if (text[pos + 1] != L'>') return Fail(kStartTagClosing, pos);
      text[elementNameEnd] = 0;
      text[pos] = 0;
      text[pos + 1] = 0;
      m_Elements[element].data = static_cast<int32_t>(pos + 1);
      pos += 2;
      continue;
    }

    // '>': content up to the next '<'.
    text[elementNameEnd] = 0;
    text[pos] = 0;
    ++pos;
    m_Elements[element].data = static_cast<int32_t>(pos);
    const size_t contentEnd = DecodeInPlace(pos, L'<');
    if (text[pos] == 0) {
      if (parent <= 1) return acceptEnd();
      return Fail(kEndTagStart, pos);
    }
    text[contentEnd] = contentEnd < pos ? 0 : text[contentEnd];
    pendingContentEnd.push_back(contentEnd);
    // Children (if any) come next; the level loop closes this element at its '</'.
    parent = element;
    previous = 0;
  }
}

// ---------------------------------------------------------------------------------
// CXmlMarkupNode

CXmlMarkupNode CXmlMarkupNode::GetParent() const {
  if (!IsValid()) return CXmlMarkupNode();
  const int32_t index = m_Owner->m_Elements[m_Index].parent;
  return index == 0 ? CXmlMarkupNode() : CXmlMarkupNode(m_Owner, index);
}

CXmlMarkupNode CXmlMarkupNode::GetSibling() const {
  if (!IsValid()) return CXmlMarkupNode();
  const int32_t index = m_Owner->m_Elements[m_Index].sibling;
  return index == 0 ? CXmlMarkupNode() : CXmlMarkupNode(m_Owner, index);
}

CXmlMarkupNode CXmlMarkupNode::GetChild() const {
  if (!IsValid()) return CXmlMarkupNode();
  const int32_t index = m_Owner->m_Elements[m_Index].child;
  return index == 0 ? CXmlMarkupNode() : CXmlMarkupNode(m_Owner, index);
}

bool CXmlMarkupNode::HasChildren() const { return IsValid() && m_Owner->m_Elements[m_Index].child != 0; }

bool CXmlMarkupNode::HasSiblings() const { return IsValid() && m_Owner->m_Elements[m_Index].sibling != 0; }

const wchar_t* CXmlMarkupNode::GetName() const {
  if (!IsValid()) return L"";
  return m_Owner->m_Text.data() + m_Owner->m_Elements[m_Index].name;
}

const wchar_t* CXmlMarkupNode::GetValue() const {
  if (!IsValid()) return L"";
  return m_Owner->m_Text.data() + m_Owner->m_Elements[m_Index].data;
}

// The start tag has been rewritten by the parser as: name \0 { [blanks] attr-name \0
// [blanks '=' blanks] '"' value \0 [blanks] } \0, ending just before the content.
void CXmlMarkupNode::MapAttributes() {
  m_Mapped = true;
  m_AttributeCount = 0;
  if (!IsValid()) return;
  const wchar_t* text = m_Owner->m_Text.data();
  const CXmlMarkup::Element& element = m_Owner->m_Elements[m_Index];
  const size_t tagEnd = static_cast<size_t>(element.data) - 1;  // the zero that ended the tag
  size_t pos = static_cast<size_t>(element.name);
  pos += std::wcslen(text + pos) + 1;
  while (pos < tagEnd && m_AttributeCount < kMaxAttributes) {
    while (pos < tagEnd && IsSpace(text[pos])) ++pos;
    if (pos >= tagEnd) break;
    const size_t name = pos;
    pos += std::wcslen(text + pos) + 1;
    while (pos < tagEnd && (IsSpace(text[pos]) || text[pos] == L'=')) ++pos;
    if (pos >= tagEnd || text[pos] != L'"') break;
    ++pos;
    m_Attributes[m_AttributeCount++] = Pair{static_cast<int32_t>(name), static_cast<int32_t>(pos)};
    pos += std::wcslen(text + pos) + 1;
  }
}

int CXmlMarkupNode::GetAttributeCount() {
  if (!m_Mapped) MapAttributes();
  return m_AttributeCount;
}

bool CXmlMarkupNode::HasAttributes() { return GetAttributeCount() > 0; }

const wchar_t* CXmlMarkupNode::GetAttributeName(int index) {
  if (index < 0 || index >= GetAttributeCount()) return L"";
  return m_Owner->m_Text.data() + m_Attributes[index].name;
}

const wchar_t* CXmlMarkupNode::GetAttributeValue(int index) {
  if (index < 0 || index >= GetAttributeCount()) return L"";
  return m_Owner->m_Text.data() + m_Attributes[index].value;
}

const wchar_t* CXmlMarkupNode::GetAttributeValue(const wchar_t* name) {
  if (name == nullptr) return nullptr;
  const int count = GetAttributeCount();
  for (int i = 0; i < count; ++i) {
    if (std::wcscmp(m_Owner->m_Text.data() + m_Attributes[i].name, name) == 0)
      return m_Owner->m_Text.data() + m_Attributes[i].value;
  }
  return nullptr;
}

bool CXmlMarkupNode::GetAttributeValue(const wchar_t* name, wchar_t* buffer, size_t capacity) {
  const wchar_t* value = GetAttributeValue(name);
  if (buffer != nullptr && capacity > 0) {
    size_t i = 0;
    for (; value != nullptr && value[i] != 0 && i + 1 < capacity; ++i) buffer[i] = value[i];
    buffer[i] = 0;
  }
  return value != nullptr;
}

}  // namespace SkinUI
