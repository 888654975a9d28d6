// Layout documents: any bytes, any encoding; every node and attribute is read back.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ui/xml_markup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte picks the encoding and the white-space mode.
  const auto encoding = static_cast<SkinUI::XmlEncoding>(data[0] % 3);
  SkinUI::CXmlMarkup markup;
  markup.SetPreserveWhitespace((data[0] & 0x80) == 0);
  if (!markup.LoadFromMemory(data + 1, size - 1, encoding)) return 0;
  std::vector<SkinUI::CXmlMarkupNode> pending;
  if (markup.GetRoot().IsValid()) pending.push_back(markup.GetRoot());
  size_t checksum = 0;
  while (!pending.empty()) {
    SkinUI::CXmlMarkupNode node = pending.back();
    pending.pop_back();
    checksum += node.GetParent().IsValid() + node.HasChildren() + node.HasSiblings();
    for (const wchar_t* p = node.GetName(); *p; ++p) checksum += static_cast<size_t>(*p);
    for (const wchar_t* p = node.GetValue(); *p; ++p) checksum += static_cast<size_t>(*p);
    const int count = node.GetAttributeCount();
    for (int i = 0; i < count; ++i) {
      const wchar_t* name = node.GetAttributeName(i);
      const wchar_t* value = node.GetAttributeValue(i);
      if (node.GetAttributeValue(name) == nullptr) __builtin_trap();  // every listed name is found
      wchar_t buffer[8];
      node.GetAttributeValue(name, buffer, 8);
      for (const wchar_t* p = value; *p; ++p) checksum += static_cast<size_t>(*p);
    }
    for (auto child = node.GetChild(); child.IsValid(); child = child.GetSibling()) pending.push_back(child);
  }
  static volatile size_t sink;
  sink = checksum;
  return 0;
}
