#include "ui/xml_markup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using SkinUI::CXmlMarkup;
using SkinUI::CXmlMarkupNode;
using SkinUI::XmlEncoding;

struct MalformedCase {
  const char* name;
  const wchar_t* text;
  const wchar_t* message;
  const wchar_t* location;  // what the error location starts with
};

TEST(XmlMarkup, MalformedDocumentsFailWithTheirErrorText) {
  const MalformedCase cases[] = {
      {"text before the root", L"hello <a/>", L"Expected start tag", L"hello"},
      {"end of text after a nested element", L"<a><b><c/>", L"Expected start tag", L""},
      {"end of text in a nested start tag's content", L"<a><b><c>", L"Expected end-tag start", L""},
      {"garbage between siblings", L"<a><b/>x<c/></a>", L"Expected start tag", L"x<c/>"},
      {"name runs to the end", L"<abc", L"Error parsing element name", L""},
      {"slash not followed by >", L"<a/ >", L"Expected start-tag closing", L"/ >"},
      {"content ends in a nested element", L"<a><b><c>text", L"Expected end-tag start", L""},
      {"closing tag of another element", L"<a><b></c></a>", L"Unmatched closing tag", L"c>"},
      {"closing tag with a longer name", L"<a></ab>", L"Unmatched closing tag", L"ab>"},
      {"closing tag without >", L"<a></a x>", L"Unmatched closing tag", L"x>"},
      {"attribute without =", L"<a b>", L"Error while parsing attributes", L">"},
      {"attribute name then junk", L"<a b c=\"1\"/>", L"Error while parsing attributes", L"c=\"1\"/>"},
      {"single-quoted value", L"<a b='1'/>", L"Expected attribute value", L"'1'/>"},
      {"unquoted value", L"<a b=1/>", L"Expected attribute value", L"1/>"},
      {"value runs to the end", L"<a b=\"1/>", L"Error while parsing attribute string", L"1/>"},
      {"tag runs to the end", L"<a b=\"1\"", L"Error while parsing attributes", L""},
  };
  for (const MalformedCase& row : cases) {
    SCOPED_TRACE(row.name);
    CXmlMarkup markup;
    EXPECT_FALSE(markup.Load(row.text));
    EXPECT_EQ(markup.GetLastErrorMessage(), row.message);
    EXPECT_EQ(markup.GetLastErrorLocation().rfind(row.location, 0), 0u) << "location: " << markup.GetLastErrorLocation().size();
    EXPECT_FALSE(markup.GetRoot().IsValid());
  }
}

TEST(XmlMarkup, ErrorLocationIsCappedAt49Characters) {
  CXmlMarkup markup;
  EXPECT_FALSE(markup.Load((L"x" + std::wstring(200, L'y')).c_str()));
  EXPECT_EQ(markup.GetLastErrorLocation().size(), CXmlMarkup::kErrorLocationChars);
  // A later successful load clears the error.
  EXPECT_TRUE(markup.Load(L"<a/>"));
  EXPECT_TRUE(markup.GetLastErrorMessage().empty());
}

struct AcceptedCase {
  const char* name;
  const wchar_t* text;
  const wchar_t* rootName;  // nullptr: no element
  const wchar_t* rootValue;
};

TEST(XmlMarkup, AcceptedSyntax) {
  const AcceptedCase cases[] = {
      {"empty text", L"", nullptr, nullptr},
      {"only white space", L" \r\n\t ", nullptr, nullptr},
      {"only a comment", L"<!-- nothing -->", nullptr, nullptr},
      {"declaration and comment leave no element", L"<?xml version=\"1.0\"?>\n<!-- c --><Window/>", L"Window", L""},
      {"unclosed root", L"<Window><Label/>", L"Window", L""},
      {"unclosed root with content", L"<Window>text", L"Window", L"text"},
      {"unclosed root, content before a child", L"<Window>head<Label/>", L"Window", L"head"},
      {"unclosed child of the root", L"<Window><Label>", L"Window", L""},
      {"unclosed root and child with content", L"<Window>head<Label>text", L"Window", L"head"},
      {"white space inside tags", L"<a  b = \"1\"\t/>", L"a", L""},
      {"white space in the closing tag", L"<a></a   >", L"a", L""},
      {"stray closing tag ends the document", L"<a/></b><<<", L"a", L""},
      {"names with digits, _ and :", L"<x:Tab_1/>", L"x:Tab_1", L""},
      {"non-ASCII element name", L"<窗口/>", L"窗口", L""},
  };
  for (const AcceptedCase& row : cases) {
    SCOPED_TRACE(row.name);
    CXmlMarkup markup;
    ASSERT_TRUE(markup.Load(row.text)) << markup.GetLastErrorMessage().size();
    CXmlMarkupNode root = markup.GetRoot();
    if (row.rootName == nullptr) {
      EXPECT_FALSE(root.IsValid());
    } else {
      ASSERT_TRUE(root.IsValid());
      EXPECT_STREQ(root.GetName(), row.rootName);
      EXPECT_STREQ(root.GetValue(), row.rootValue);
    }
  }
}

TEST(XmlMarkup, TreeLinksAndValues) {
  CXmlMarkup markup;
  ASSERT_TRUE(markup.Load(
      L"<Window size=\"600,400\">head<!-- c --><A x=\"1\">a-text</A><B/><C><D>d</D></C></Window>"));
  CXmlMarkupNode root = markup.GetRoot();
  EXPECT_STREQ(root.GetName(), L"Window");
  EXPECT_STREQ(root.GetValue(), L"head");
  EXPECT_FALSE(root.GetParent().IsValid());
  EXPECT_FALSE(root.HasSiblings());
  ASSERT_TRUE(root.HasChildren());

  std::vector<std::wstring> names;
  for (CXmlMarkupNode n = root.GetChild(); n.IsValid(); n = n.GetSibling()) names.push_back(n.GetName());
  EXPECT_EQ(names, (std::vector<std::wstring>{L"A", L"B", L"C"}));

  CXmlMarkupNode a = root.GetChild();
  EXPECT_STREQ(a.GetValue(), L"a-text");
  EXPECT_STREQ(a.GetAttributeValue(L"x"), L"1");
  CXmlMarkupNode b = a.GetSibling();
  EXPECT_STREQ(b.GetValue(), L"");
  EXPECT_FALSE(b.HasAttributes());
  CXmlMarkupNode d = b.GetSibling().GetChild();
  EXPECT_STREQ(d.GetName(), L"D");
  EXPECT_STREQ(d.GetValue(), L"d");
  EXPECT_STREQ(d.GetParent().GetParent().GetName(), L"Window");
  EXPECT_STREQ(root.GetAttributeValue(L"size"), L"600,400");

  // An invalid node answers everything with nothing.
  CXmlMarkupNode none;
  EXPECT_FALSE(none.GetChild().IsValid());
  EXPECT_STREQ(none.GetName(), L"");
  EXPECT_EQ(none.GetAttributeCount(), 0);
  EXPECT_EQ(none.GetAttributeValue(L"x"), nullptr);
}

TEST(XmlMarkup, AttributesInOrderWithCaseSensitiveLookup) {
  CXmlMarkup markup;
  ASSERT_TRUE(markup.Load(L"<a name=\"n\" Name=\"N\" empty=\"\" spaced = \"x y\" ='anon'/>") == false);
  ASSERT_TRUE(markup.Load(L"<a name=\"n\" Name=\"N\" empty=\"\" spaced = \"x y\" =\"anon\"/>"));
  CXmlMarkupNode a = markup.GetRoot();
  ASSERT_EQ(a.GetAttributeCount(), 5);
  const wchar_t* expected[][2] = {{L"name", L"n"}, {L"Name", L"N"}, {L"empty", L""}, {L"spaced", L"x y"}, {L"", L"anon"}};
  for (int i = 0; i < 5; ++i) {
    EXPECT_STREQ(a.GetAttributeName(i), expected[i][0]) << i;
    EXPECT_STREQ(a.GetAttributeValue(i), expected[i][1]) << i;
  }
  EXPECT_STREQ(a.GetAttributeName(5), L"");
  EXPECT_STREQ(a.GetAttributeValue(-1), L"");
  EXPECT_STREQ(a.GetAttributeValue(L"Name"), L"N");
  EXPECT_EQ(a.GetAttributeValue(L"NAME"), nullptr);

  wchar_t buffer[4];
  EXPECT_TRUE(a.GetAttributeValue(L"spaced", buffer, 4));
  EXPECT_STREQ(buffer, L"x y");
  EXPECT_TRUE(a.GetAttributeValue(L"name", buffer, 2));
  EXPECT_STREQ(buffer, L"n");
  wchar_t small[3] = {L'?', L'?', L'?'};
  EXPECT_TRUE(a.GetAttributeValue(L"spaced", small, 3));  // cut, but always terminated
  EXPECT_STREQ(small, L"x ");
  EXPECT_FALSE(a.GetAttributeValue(L"missing", buffer, 4));
  EXPECT_STREQ(buffer, L"");
}

TEST(XmlMarkup, SixtyFiveAttributesExposeSixtyFour) {
  std::wstring text = L"<a";
  for (int i = 0; i < 65; ++i) text += L" k" + std::to_wstring(i) + L"=\"v" + std::to_wstring(i) + L"\"";
  text += L"><b/></a>";
  CXmlMarkup markup;
  ASSERT_TRUE(markup.Load(text.c_str()));
  CXmlMarkupNode a = markup.GetRoot();
  EXPECT_EQ(a.GetAttributeCount(), CXmlMarkupNode::kMaxAttributes);
  EXPECT_STREQ(a.GetAttributeValue(63), L"v63");
  EXPECT_STREQ(a.GetAttributeValue(L"k63"), L"v63");
  EXPECT_EQ(a.GetAttributeValue(L"k64"), nullptr);
  EXPECT_STREQ(a.GetChild().GetName(), L"b");
}

struct DecodeCase {
  const char* name;
  const wchar_t* encoded;
  const wchar_t* decoded;
};

TEST(XmlMarkup, EntitiesDecodeOneLevelInValuesAndContent) {
  const DecodeCase cases[] = {
      {"the five entities", L"&amp;&lt;&gt;&quot;&apos;", L"&<>\"'"},
      {"encoded ampersand before an entity name", L"&amp;lt;", L"&lt;"},
      {"unknown entity stays", L"&nbsp;&copy;", L"&nbsp;&copy;"},
      {"lone ampersand", L"a & b &", L"a & b &"},
      {"entity without semicolon", L"&amp &lt", L"&amp &lt"},
      {"numeric references are not decoded", L"&#65;", L"&#65;"},
  };
  for (const DecodeCase& row : cases) {
    SCOPED_TRACE(row.name);
    const std::wstring text = std::wstring(L"<a v=\"") + row.encoded + L"\" w=\"next\">" + row.encoded + L"</a>";
    CXmlMarkup markup;
    ASSERT_TRUE(markup.Load(text.c_str()));
    CXmlMarkupNode a = markup.GetRoot();
    EXPECT_STREQ(a.GetAttributeValue(L"v"), row.decoded);
    EXPECT_STREQ(a.GetAttributeValue(L"w"), L"next");  // scanning continues past a shortened value
    EXPECT_STREQ(a.GetValue(), row.decoded);
  }
}

TEST(XmlMarkup, WhitespaceRules) {
  const wchar_t* text = L"<a v=\"x  \t y\"> p \r\n\tq\t\tr  </a>";
  {
    SCOPED_TRACE("preserved by default");
    CXmlMarkup markup;
    ASSERT_TRUE(markup.Load(text));
    EXPECT_STREQ(markup.GetRoot().GetAttributeValue(L"v"), L"x  \t y");
    EXPECT_STREQ(markup.GetRoot().GetValue(), L" p \r\n\tq\t\tr  ");
  }
  {
    SCOPED_TRACE("folded after a blank when not preserved");
    CXmlMarkup markup;
    markup.SetPreserveWhitespace(false);
    ASSERT_TRUE(markup.Load(text));
    EXPECT_STREQ(markup.GetRoot().GetAttributeValue(L"v"), L"x y");
    EXPECT_STREQ(markup.GetRoot().GetValue(), L" p q\t\tr ");
  }
}

TEST(XmlMarkup, EncodingsOfLoadFromMemory) {
  struct Case {
    const char* name;
    std::string bytes;
    XmlEncoding encoding;
    bool ok;
  };
  const std::string utf8 = "<a v=\"\xE5\xAE\x89\xE8\xA3\x85\"/>";  // 安装
  auto utf16 = [](bool bigEndian, bool bom) {
    const std::u16string text = u"<a v=\"\u5B89\u88C5\"/>";
    std::string bytes;
    if (bom) bytes += bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : text) {
      const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
      bytes += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return bytes;
  };
  const Case cases[] = {
      {"UTF-8", utf8, XmlEncoding::Utf8, true},
      {"UTF-8 with BOM", "\xEF\xBB\xBF" + utf8, XmlEncoding::Utf8, true},
      {"UTF-16 little-endian", utf16(false, true), XmlEncoding::Utf16, true},
      {"UTF-16 big-endian", utf16(true, true), XmlEncoding::Utf16, true},
      {"UTF-16 without BOM", utf16(false, false), XmlEncoding::Utf16, false},
      {"UTF-16 odd length", utf16(false, true) + "x", XmlEncoding::Utf16, true},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    CXmlMarkup markup;
    const bool ok = markup.LoadFromMemory(reinterpret_cast<const uint8_t*>(row.bytes.data()), row.bytes.size(), row.encoding);
    ASSERT_EQ(ok, row.ok);
    if (ok) {
      EXPECT_STREQ(markup.GetRoot().GetAttributeValue(L"v"), L"\u5B89\u88C5");
    } else {
      EXPECT_FALSE(markup.GetLastErrorMessage().empty());
    }
  }
  CXmlMarkup markup;
  const std::string bad = "<a v=\"\xFF\xC3\"/>";  // ill-formed UTF-8 becomes U+FFFD
  ASSERT_TRUE(markup.LoadFromMemory(reinterpret_cast<const uint8_t*>(bad.data()), bad.size()));
  EXPECT_STREQ(markup.GetRoot().GetAttributeValue(L"v"), L"\uFFFD\uFFFD");
}

TEST(XmlMarkup, DeepAndWideDocumentsDoNotExhaustTheStack) {
  constexpr int kDepth = 200000;
  std::wstring text;
  for (int i = 0; i < kDepth; ++i) text += L"<e>";
  for (int i = 0; i < kDepth; ++i) text += L"</e>";
  CXmlMarkup markup;
  ASSERT_TRUE(markup.Load(text.c_str()));
  CXmlMarkupNode node = markup.GetRoot();
  int depth = 0;
  for (; node.IsValid(); node = node.GetChild()) ++depth;
  EXPECT_EQ(depth, kDepth);

  // Unclosed at depth: the end of the text inside deep elements is an error.
  text.resize(text.size() / 2);
  EXPECT_FALSE(markup.Load(text.c_str()));
  EXPECT_EQ(markup.GetLastErrorMessage(), L"Expected start tag");
  text.resize(600000);  // every element open: the content of the innermost ends
  EXPECT_FALSE(markup.Load(text.c_str()));
  EXPECT_EQ(markup.GetLastErrorMessage(), L"Expected end-tag start");
}

}  // namespace
