// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "formats/xml/XmlListBuilder.h"
#include "formats/xml/XmlLoader.h"
#include "text/Literal.h"

namespace formats {
namespace {

using text::J;

TXMLList Build(std::string_view doc, const RawMarkupTest& test = {}) {
  XmlContext context;
  XmlLoad load = LoadXmlDocument(context, doc);
  EXPECT_TRUE(load) << load.Error.Reason;
  return load ? BuildXmlList(*load.Document, test) : TXMLList();
}

// The single top-level element of a document.
const TXMLItemType& Only(const TXMLList& list) {
  static const TXMLItemType kNone;
  EXPECT_EQ(list.size(), 1u);
  return list.empty() ? kNone : *list[0];
}

struct ValueCase {
  const char* name;
  const char* element;  // UTF-8
  const char* text;     // expected Text, UTF-8 (converted with J)
  const char* cdata;    // expected CData, UTF-8
};

class ElementValue : public testing::TestWithParam<ValueCase> {};

TEST_P(ElementValue, GathersTextAndCData) {
  const TXMLList list = Build(GetParam().element);
  const TXMLItemType& element = Only(list);
  EXPECT_EQ(element.Text, J(GetParam().text));
  EXPECT_EQ(element.CData, J(GetParam().cdata));
}

INSTANTIATE_TEST_SUITE_P(
    XmlList, ElementValue,
    testing::Values(ValueCase{"EntityInText", "<title>A &amp; B</title>", "A & B", ""},
                    ValueCase{"CDataDecodesDecimalReferences", "<d><![CDATA[x &#169; &#12354; &#x3042;]]></d>", "",
                              "x &#169; あ &#x3042;"},
                    ValueCase{"TextAroundCData", "<d>a<![CDATA[b]]>c</d>", "", "abc"},
                    ValueCase{"LiteralReferenceInTextBeforeCData", "<d>&amp;#12354;-<![CDATA[b]]></d>", "", "あ-b"},
                    ValueCase{"LiteralReferenceInPlainTextStays", "<d>&amp;#12354;</d>", "&#12354;", ""},
                    ValueCase{"WaveDashBecomesFullWidthTilde", "<t>\u301C\u2212</t>", "～－", ""},
                    ValueCase{"MissingCharacterKeptAsReference", "<t>\U0001F600 &#233;</t>", "&#128512; &#233;", ""},
                    ValueCase{"WhitespaceOnlyTextDropped", "<t> \n\t </t>", "", ""},
                    ValueCase{"WhitespaceInsideMixedTextKept", "<t> a <b/> c </t>", " a  c ", ""},
                    ValueCase{"ControlCharactersRemoved", "<t>a\x7F\tb</t>", "a\tb", ""},
                    // U+0080 is the single byte 0x80 in code page 932, which starts no character: the
                    // piece becomes the fixed message, the pieces around it stay.
                    ValueCase{"InvalidPieceReplaced", "<t>a<![CDATA[\u0080]]>c</t>", "",
                              "a不正な文字コードを除去しましたc"}),
    [](const testing::TestParamInfo<ValueCase>& info) { return std::string(info.param.name); });

TEST(XmlList, RecordsNamesAttributesAndParents) {
  const TXMLList list = Build(
      "<?xml version=\"1.0\"?><!-- head --><rdf:RDF xmlns:rdf=\"urn:rdf\" xmlns:dc=\"urn:dc\" a=\"1 &lt; 2\">"
      "<item rdf:about=\"①\"><dc:date>2026</dc:date><empty/><spaces>  </spaces><c><!-- only --></c></item>"
      "</rdf:RDF>");
  const TXMLItemType& root = Only(list);
  EXPECT_EQ(root.Name, "rdf:RDF");
  EXPECT_EQ(root.Kind, kXmlElement);
  EXPECT_EQ(root.Parent, nullptr);
  ASSERT_TRUE(root.Attributes);
  ASSERT_EQ(root.Attributes->size(), 3u);
  const char* const names[] = {"xmlns:rdf", "xmlns:dc", "a"};
  const char* const values[] = {"urn:rdf", "urn:dc", "1 < 2"};
  for (size_t i = 0; i < 3; ++i) {
    const TXMLItemType& attribute = *(*root.Attributes)[i];
    EXPECT_EQ(attribute.Name, names[i]);
    EXPECT_EQ(attribute.Text, values[i]);
    EXPECT_EQ(attribute.Kind, kXmlAttribute);
    EXPECT_EQ(attribute.Parent, &root);
  }

  ASSERT_TRUE(root.Children);
  ASSERT_EQ(root.Children->size(), 1u);
  const TXMLItemType& item = *(*root.Children)[0];
  EXPECT_EQ(item.Parent, &root);
  ASSERT_TRUE(item.Attributes);
  EXPECT_EQ((*item.Attributes)[0]->Text, J("①"));
  ASSERT_TRUE(item.Children);
  ASSERT_EQ(item.Children->size(), 4u);
  const TXMLItemType& date = *(*item.Children)[0];
  EXPECT_EQ(date.Name, "dc:date");
  EXPECT_EQ(date.Text, "2026");
  EXPECT_EQ(date.Parent, &item);
  EXPECT_FALSE(date.Attributes);
  // Children exist exactly where content was walked: not for an empty element or one
  // holding only whitespace, but for one holding only a comment.
  ASSERT_TRUE(date.Children);
  EXPECT_TRUE(date.Children->empty());
  EXPECT_FALSE((*item.Children)[1]->Children);
  EXPECT_FALSE((*item.Children)[2]->Children);
  ASSERT_TRUE((*item.Children)[3]->Children);
}

TEST(XmlList, RawMarkupTestCapturesContentExceptALoneCData) {
  std::vector<std::string> asked;
  const RawMarkupTest test = [&](const TXMLItemType& element) {
    EXPECT_TRUE(element.Text.empty() && element.CData.empty() && !element.Children);
    asked.push_back(element.Name + (element.Attributes ? "@" + (*element.Attributes)[0]->Text : ""));
    return element.Name == "summary" || element.Name == "content";
  };
  const TXMLList list = Build(
      "<feed><summary type=\"html\">\n  <![CDATA[only <b>]]>\n</summary>"
      "<content type=\"xhtml\">\n  <div xmlns=\"http://www.w3.org/1999/xhtml\">A &amp; <b>B</b> ①\u301C</div>\n"
      "</content><title>t</title></feed>",
      test);
  const TXMLItemType& feed = Only(list);
  ASSERT_TRUE(feed.Children);
  ASSERT_EQ(feed.Children->size(), 3u);

  const TXMLItemType& summary = *(*feed.Children)[0];
  EXPECT_EQ(summary.Kind, kXmlElement);
  EXPECT_EQ(summary.CData, "only <b>");
  EXPECT_TRUE(summary.Children);

  const TXMLItemType& content = *(*feed.Children)[1];
  EXPECT_EQ(content.Kind, kXmlRawMarkup);
  EXPECT_EQ(content.CData, J("<div xmlns=\"http://www.w3.org/1999/xhtml\">A &amp; <b>B</b> ①～</div>"));
  EXPECT_TRUE(content.Text.empty());
  EXPECT_FALSE(content.Children);

  // The test is asked about the elements with content, other than the lone-CDATA one; not
  // about the inside of captured markup.
  EXPECT_EQ(asked, (std::vector<std::string>{"feed", "content@xhtml", "title"}));
}

TEST(XmlList, EntityReplacementTextJoinsItsElement) {
  const TXMLList list = Build(
      "<!DOCTYPE r [<!ENTITY co \"Plover &amp; Co\"><!ENTITY sig \"<i>by &co;</i>\">]>"
      "<r><t>&co; &#169;</t><p>x&sig;</p></r>");
  const TXMLItemType& r = Only(list);
  ASSERT_TRUE(r.Children);
  ASSERT_EQ(r.Children->size(), 2u);
  EXPECT_EQ((*r.Children)[0]->Text, "Plover & Co &#169;");
  const TXMLItemType& p = *(*r.Children)[1];
  EXPECT_EQ(p.Text, "x");
  ASSERT_TRUE(p.Children);
  ASSERT_EQ(p.Children->size(), 1u);
  EXPECT_EQ((*p.Children)[0]->Name, "i");
  EXPECT_EQ((*p.Children)[0]->Text, "by Plover & Co");
  EXPECT_EQ((*p.Children)[0]->Parent, &p);
}

TEST(XmlList, ReadChildTextFollowsThePathInDocumentOrder) {
  const TXMLList list = Build(
      "<plover><a><x>no b here</x></a><a><b>second</b></a><version>1.00</version>"
      "<cdata><![CDATA[c]]></cdata></plover>");
  EXPECT_EQ(ReadChildText(list, "plover/version"), "1.00");
  EXPECT_EQ(ReadChildText(list, "/plover/a/b"), "second");
  EXPECT_EQ(ReadChildText(list, "plover/cdata"), "c");
  EXPECT_EQ(ReadChildText(*list[0], "version"), "1.00");
  EXPECT_EQ(ReadChildText(list, "plover/missing"), "");
  EXPECT_EQ(ReadChildText(list, "version"), "");
  EXPECT_EQ(ReadChildText(list, ""), "");
}

TEST(XmlList, DeepEntityNestingIsCutOff) {
  // The parser lets elements nest 256 deep; entities can nest content further, and the
  // walk stops descending at its own limit.
  std::string doc = "<!DOCTYPE r [<!ENTITY e0 \"x\">";
  for (int i = 1; i <= 10; ++i) {
    doc += "<!ENTITY e" + std::to_string(i) + " \"<a><a><a><a><a><a><a><a>&e" + std::to_string(i - 1) +
           ";</a></a></a></a></a></a></a></a>\">";
  }
  std::string open, close;
  for (int i = 0; i < 200; ++i) {
    open += "<a>";
    close += "</a>";
  }
  doc += "]><r>" + open + "&e10;" + close + "</r>";
  const TXMLList list = Build(doc);
  int depth = 0;
  const TXMLItemType* node = list.empty() ? nullptr : list[0].get();
  while (node != nullptr && node->Children && !node->Children->empty()) {
    node = (*node->Children)[0].get();
    ++depth;
  }
  EXPECT_GT(depth, 200);
  EXPECT_LT(depth, kMaxXmlListDepth);
}

struct RefCase {
  const char* in;
  const char* out;  // UTF-8, converted with J
};

TEST(XmlList, DecodeCharRefs) {
  for (const RefCase& c : std::initializer_list<RefCase>{
           {"no references", "no references"},
           {"&#12354; and &#0065;&#38;#66;", "あ and A&#66;"},
           {"&#x3042; stays, &#169; has no code", "&#x3042; stays, &#169; has no code"},
           {"&#12354;&#65", "&#12354;&#65"},    // ends inside a reference: unchanged
           {"&#12354; &#0;", "&#12354; &#0;"},  // names no allowed character: unchanged
           {"&#12354; &#1114112;", "&#12354; &#1114112;"},
           {"&#55296; &#65;", "&#55296; &#65;"},  // a surrogate
           {"&#; &#x; &#65;", "&#; &#x; A"},
           {"&#128512;", "&#128512;"},
       }) {
    EXPECT_EQ(DecodeCharRefs(J(c.in)), J(c.out)) << c.in;
  }
}

}  // namespace
}  // namespace formats
