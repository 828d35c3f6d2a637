// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

#include "platform/XmlDocument.h"
#include "support/TempDir.h"

namespace platform {
namespace {

// A compact picture of a node list: elements as name[attributes]{children}, text as
// "text", CDATA as <text>, entity references as &{replacement}, other nodes as #.
std::string Picture(XmlNode first) {
  std::string out;
  for (XmlNode node = first; node; node = node.NextSibling()) {
    switch (node.Kind()) {
      case XmlNodeKind::kElement: {
        out += node.Name();
        for (const XmlAttribute& a : node.Attributes()) out += "[" + a.name + "=" + a.value + "]";
        out += "{" + Picture(node.FirstChild()) + "}";
        break;
      }
      case XmlNodeKind::kText:
        out += "\"" + std::string(node.Content()) + "\"";
        break;
      case XmlNodeKind::kCData:
        out += "<" + std::string(node.Content()) + ">";
        break;
      case XmlNodeKind::kEntityReference:
        out += "&{" + Picture(node.FirstChild()) + "}";
        break;
      case XmlNodeKind::kOther:
        out += "#";
        break;
    }
  }
  return out;
}

std::string Loaded(std::string_view bytes) {
  XmlLoadResult result = ParseXml(bytes);
  if (!result.document) return "failed: " + result.error.reason;
  return Picture(result.document->FirstChild());
}

TEST(XmlDocument, WalksTheTreeAsWritten) {
  EXPECT_EQ(Loaded("<?xml version=\"1.0\"?>\n<!-- c --><rdf:RDF xmlns:rdf=\"urn:r\" xmlns=\"urn:d\" "
                   "rdf:about=\"x\" a='1 &amp; 2'>\n  <title>A &amp; B &#169; &#x41;</title>\n"
                   "  <d>a<![CDATA[<b>&amp;</b>]]>c</d><dc:date>undeclared prefix</dc:date><?pi x?></rdf:RDF>"),
            "#rdf:RDF[xmlns:rdf=urn:r][xmlns=urn:d][rdf:about=x][a=1 & 2]{\"\n  \"title{\"A & B \xC2\xA9 A\"}\"\n  \"d{"
            "\"a\"<<b>&amp;</b>>\"c\"}dc:date{\"undeclared prefix\"}#}");
}

TEST(XmlDocument, EntityReferencesLeadToTheirReplacementText) {
  const std::string doc =
      "<!DOCTYPE r [<!ENTITY e \"<i>x</i>y\"><!ENTITY f \"[&e;]\"><!ENTITY g \"[&h;]\"><!ENTITY h \"xy\">]>"
      "<r a=\"-&g;-\">&f;</r>";
  EXPECT_EQ(Loaded(doc), "#r[a=-[xy]-]{&{\"[\"&{i{\"x\"}\"y\"}\"]\"}}");
}

struct EntityCase {
  const char* name;
  const char* document;
  const char* picture;  // of the root's children; "failed: ..." when the load fails
};

class EntityDocument : public testing::TestWithParam<EntityCase> {};

// A declared entity keeps its own text, an HTML name the document does not declare reads
// as the character it names (in text and in attribute values), and any other undeclared
// name still fails the load.
TEST_P(EntityDocument, ResolvesDeclaredAndHtmlNamesOnly) {
  XmlLoadResult result = ParseXml(GetParam().document);
  if (!result.document) {
    EXPECT_EQ("failed: " + result.error.reason, GetParam().picture);
    return;
  }
  EXPECT_EQ(Picture(result.document->Root().FirstChild()), GetParam().picture);
}

INSTANTIATE_TEST_SUITE_P(
    XmlDocument, EntityDocument,
    testing::Values(EntityCase{"Declared", "<!DOCTYPE r [<!ENTITY eacute \"E\">]><r>caf&eacute;</r>",
                               "\"caf\"&{\"E\"}"},
                    EntityCase{"HtmlInText", "<r>caf&eacute;&nbsp;&copy;&hellip;&diams;</r>",
                               "\"caf\xC3\xA9\xC2\xA0\xC2\xA9\xE2\x80\xA6\xE2\x99\xA6\""},
                    EntityCase{"HtmlInAttribute", "<r><a t=\"caf&eacute; &amp; &hellip;!\"/></r>",
                               "a[t=caf\xC3\xA9 & \xE2\x80\xA6!]{}"},
                    EntityCase{"HtmlInsideADeclaredEntity", "<!DOCTYPE r [<!ENTITY e \"[&eacute;]\">]><r>&e;</r>",
                               "&{\"[\xC3\xA9]\"}"},
                    EntityCase{"HtmlInsideCData", "<r><![CDATA[&eacute;]]></r>", "<&eacute;>"},
                    EntityCase{"Unknown", "<r>&bogus;</r>", "failed: Entity 'bogus' not defined"},
                    EntityCase{"UnknownInAttribute", "<r a=\"&bogus;\"/>", "failed: Entity 'bogus' not defined"},
                    EntityCase{"CaseMatters", "<r>&Eacute;&EACUTE;</r>", "failed: Entity 'EACUTE' not defined"}),
    [](const testing::TestParamInfo<EntityCase>& info) { return std::string(info.param.name); });

TEST(XmlDocument, MarkupEscapesTextAndKeepsUtf8) {
  XmlLoadResult result = ParseXml("<r><b class=\"a&quot;b\">\xE3\x81\x82 &amp; &lt; &gt;</b>tail</r>");
  ASSERT_TRUE(result.document);
  const XmlNode b = result.document->Root().FirstChild();
  EXPECT_EQ(b.Markup(), "<b class=\"a&quot;b\">\xE3\x81\x82 &amp; &lt; &gt;</b>");
  EXPECT_EQ(b.NextSibling().Markup(), "tail");
}

TEST(XmlDocument, ReportsWhereAMalformedDocumentFails) {
  XmlLoadResult result = ParseXml("<rss>\n  <channel><title>x</titel>\n</rss>");
  ASSERT_FALSE(result.document);
  EXPECT_NE(result.error.code, 0);
  EXPECT_EQ(result.error.line, 2);
  EXPECT_GT(result.error.column, 20);
  EXPECT_GT(result.error.filePos, 20);
  EXPECT_NE(result.error.reason.find("titel"), std::string::npos) << result.error.reason;
  EXPECT_NE(result.error.reason.back(), '\n');
  EXPECT_NE(result.error.srcText.find("<channel><title>x</titel>"), std::string::npos) << result.error.srcText;

  EXPECT_NE(ParseXml("").error.code, 0);
  EXPECT_NE(ParseXmlFile("/nonexistent/feed.xml").error.code, 0);
}

TEST(XmlDocument, ConversionErrorIsReportedWithItsPlace) {
  XmlLoadResult result = ParseXml("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n<r>\n<a>x\x82\xA0\x9F\x21y</a></r>");
  ASSERT_FALSE(result.document);
  EXPECT_NE(result.error.reason.find("0x9F 0x21"), std::string::npos) << result.error.reason;
  EXPECT_EQ(result.error.line, 3);
  EXPECT_EQ(result.error.srcText, "<a>x\xE3\x81\x82");
}

TEST(XmlDocument, UndeclaredShiftJisAndEucJpLoadOnRetry) {
  // "あ①" in code page 932 and in EUC-JP-MS, without any declaration of the encoding. The
  // EUC-JP bytes would also pass as code page 932 (four half-width katakana).
  EXPECT_EQ(Loaded("<r>\x82\xA0\x87\x40</r>"), "r{\"\xE3\x81\x82\xE2\x91\xA0\"}");
  EXPECT_EQ(Loaded("<r>\xA4\xA2\xAD\xA1</r>"), "r{\"\xE3\x81\x82\xE2\x91\xA0\"}");
  // Half-width katakana in code page 932 that do not form EUC-JP pairs stay katakana.
  EXPECT_EQ(Loaded("<r>\xB1\xB2\xB3</r>"), "r{\"\xEF\xBD\xB1\xEF\xBD\xB2\xEF\xBD\xB3\"}");
  // A declared encoding is believed: the same bytes declared UTF-8 do not load.
  EXPECT_EQ(Loaded("<?xml version=\"1.0\" encoding=\"UTF-8\"?><r>\x82\xA0</r>").substr(0, 7), "failed:");
  // The error of a document that loads in no encoding is that of the first attempt.
  XmlLoadResult result = ParseXml("<r>\x82\xA0</r");
  ASSERT_FALSE(result.document);
  EXPECT_NE(result.error.reason.find("UTF-8"), std::string::npos) << result.error.reason;
}

TEST(XmlDocument, NeverReadsExternalEntitiesOrDtds) {
  testsupport::TempDir dir;
  testsupport::WriteFile(dir / "secret.txt", "SECRET");
  testsupport::WriteFile(dir / "defaults.dtd", "<!ATTLIST r a CDATA \"SECRET\"><!ENTITY e \"SECRET\">");
  const std::string secret = "file://" + dir.Path() + "secret.txt";
  const std::string dtd = "file://" + dir.Path() + "defaults.dtd";
  for (const std::string& doc : {
           "<!DOCTYPE r [<!ENTITY e SYSTEM \"" + secret + "\">]><r>&e;</r>",
           "<!DOCTYPE r [<!ENTITY e SYSTEM \"" + secret + "\">]><r a=\"&e;\"/>",
           "<!DOCTYPE r SYSTEM \"" + dtd + "\"><r>&e;</r>",
           "<!DOCTYPE r [<!ENTITY % p SYSTEM \"" + dtd + "\"> %p;]><r>&e;</r>",
           "<r xmlns:xi=\"http://www.w3.org/2001/XInclude\"><xi:include href=\"" + secret + "\" parse=\"text\"/></r>",
       }) {
    const std::string picture = Loaded(doc);
    EXPECT_EQ(picture.find("SECRET"), std::string::npos) << doc << "\n" << picture;
  }
}

std::string Repeat(const std::string& piece, size_t times) {
  std::string out;
  out.reserve(piece.size() * times);
  for (size_t i = 0; i < times; ++i) out += piece;
  return out;
}

std::string BillionLaughs(bool inAttribute) {
  std::string doc = "<!DOCTYPE r [<!ENTITY l0 \"lol\">";
  for (int i = 1; i <= 9; ++i) {
    doc += "<!ENTITY l" + std::to_string(i) + " \"" + Repeat("&l" + std::to_string(i - 1) + ";", 10) + "\">";
  }
  return doc + (inAttribute ? "]><r a=\"&l9;\"/>" : "]><r>&l9;</r>");
}

std::string Quadratic(bool inAttribute) {
  const std::string head = "<!DOCTYPE r [<!ENTITY a \"" + std::string(100'000, 'x') + "\">]>";
  const std::string refs = Repeat("&a;", 20'000);
  return head + (inAttribute ? "<r a=\"" + refs + "\"/>" : "<r>" + refs + "</r>");
}

struct Hostile {
  const char* name;
  std::function<std::string()> make;
  bool loads;  // whether a bounded load is the right answer
};

class HostileDocument : public testing::TestWithParam<Hostile> {};

// Each fails quickly, or loads without blowing up; the bound is generous for sanitizers.
TEST_P(HostileDocument, FailsFastOrLoadsBounded) {
  const std::string doc = GetParam().make();
  const auto start = std::chrono::steady_clock::now();
  XmlLoadResult result = ParseXml(doc);
  // A loaded document is walked as the builder walks it, reading every text.
  size_t textBytes = 0;
  const std::function<void(XmlNode)> walk = [&](XmlNode first) {
    for (XmlNode node = first; node; node = node.NextSibling()) {
      textBytes += node.Content().size();
      for (const XmlAttribute& attribute : node.Attributes()) textBytes += attribute.value.size();
      walk(node.FirstChild());
    }
  };
  if (result.document) walk(result.document->FirstChild());
  const auto elapsed = std::chrono::steady_clock::now() - start;
  // The bound only catches a blow-up (an expansion that runs for minutes); it is loose
  // because sanitizer builds on a busy machine are many times slower than a release build.
  EXPECT_LT(elapsed, std::chrono::seconds(60));
  EXPECT_EQ(result.document != nullptr, GetParam().loads) << result.error.reason;
  EXPECT_LE(textBytes, doc.size());
  if (!result.document) {
    EXPECT_NE(result.error.code, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    XmlDocument, HostileDocument,
    testing::Values(Hostile{"BillionLaughs", [] { return BillionLaughs(false); }, false},
                    Hostile{"BillionLaughsInAttribute", [] { return BillionLaughs(true); }, false},
                    Hostile{"QuadraticBlowup", [] { return Quadratic(false); }, false},
                    Hostile{"QuadraticBlowupInAttribute", [] { return Quadratic(true); }, false},
                    Hostile{"DeepNesting", [] { return Repeat("<a>", 10'000) + Repeat("</a>", 10'000); }, false},
                    Hostile{"HugeAttribute", [] { return "<r a=\"" + std::string(50u << 20, 'x') + "\"/>"; }, false},
                    Hostile{"HugeText", [] { return "<r>" + std::string(50u << 20, 'x') + "</r>"; }, true}),
    [](const testing::TestParamInfo<Hostile>& info) { return std::string(info.param.name); });

TEST(XmlDocument, ModestEntityUseStillLoads) {
  const std::string doc = "<!DOCTYPE r [<!ENTITY nbsp \"&#160;\"><!ENTITY c \"&nbsp;(c)&nbsp;\">]><r>" +
                          Repeat("<p>&c;</p>", 2000) + "</r>";
  XmlLoadResult result = ParseXml(doc);
  ASSERT_TRUE(result.document) << result.error.reason;
  EXPECT_EQ(Picture(result.document->Root().FirstChild().FirstChild()), "&{&{\"\xC2\xA0\"}\"(c)\"&{\"\xC2\xA0\"}}");
}

}  // namespace
}  // namespace platform
