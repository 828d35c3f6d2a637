// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cctype>

#include "formats/xml/XmlListBuilder.h"
#include "formats/xml/XmlLoader.h"
#include "support/TempDir.h"
#include "text/Literal.h"

namespace formats {
namespace {

using text::J;

const std::string kData = PLOVER_TEST_DATA;

class EncodedDocument : public testing::TestWithParam<const char*> {};

// The same small feed in each encoding the program meets: the channel title holds
// characters that plain Shift_JIS and EUC-JP lose (①, 髙) and the full-width tilde.
TEST_P(EncodedDocument, ArrivesAsCodePage932) {
  XmlContext context;
  const std::optional<TXMLList> list = LoadXmlListFile(context, kData + GetParam());
  ASSERT_TRUE(list) << context.ParseError.Reason;
  EXPECT_EQ(context.ParseError.ErrorCode, 0);
  EXPECT_EQ(ReadChildText(*list, "rss/channel/title"), J("①髙～テスト"));
  EXPECT_EQ(ReadChildText(*list, "rss/channel/item/title"), J("記事 & ＡＢＣ"));
}

INSTANTIATE_TEST_SUITE_P(XmlLoader, EncodedDocument,
                         testing::Values("shift_jis.xml", "x-sjis.xml", "euc-jp.xml", "undeclared-cp932.xml",
                                         "undeclared-euc-jp.xml", "utf-8.xml", "utf-8-bom.xml", "utf-8-undeclared.xml",
                                         "utf-16.xml"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           std::string name;
                           for (const char* p = info.param; *p != '.'; ++p)
                             name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                           return name;
                         });

TEST(XmlLoader, MalformedDocumentFillsTheParseError) {
  XmlContext context;
  const XmlLoad load = LoadXmlDocument(context, "<rss>\n<channel><title>①</title>\n<item></channel></rss>");
  ASSERT_FALSE(load);
  EXPECT_NE(load.Error.ErrorCode, 0);
  EXPECT_EQ(load.Error.Line, 3);
  EXPECT_GT(load.Error.LinePos, 0);
  EXPECT_GT(load.Error.FilePos, 0);
  EXPECT_NE(load.Error.Reason.find("channel"), std::string::npos) << load.Error.Reason;
  EXPECT_EQ(load.Error.SrcText, "<item></channel></rss>");

  // The context keeps the latest load's report; a successful load resets only the code.
  EXPECT_EQ(context.ParseError.ErrorCode, load.Error.ErrorCode);
  EXPECT_EQ(context.ParseError.Reason, load.Error.Reason);
  ASSERT_TRUE(LoadXmlDocument(context, "<ok/>"));
  EXPECT_EQ(context.ParseError.ErrorCode, 0);
  EXPECT_EQ(context.ParseError.Line, 3);
  EXPECT_FALSE(LoadXmlList(context, "<unclosed>"));
  EXPECT_NE(context.ParseError.ErrorCode, 0);
}

TEST(XmlLoader, SourceLineOfAnEncodingErrorKeepsTheDocumentsBytes) {
  XmlContext context;
  const XmlLoad load = LoadXmlDocument(context, J("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<t>記事</t>"));
  ASSERT_FALSE(load);
  EXPECT_EQ(load.Error.Line, 2);
  EXPECT_NE(load.Error.SrcText.find(J("記事")), std::string::npos);
}

TEST(XmlLoader, RepairControlBytes) {
  std::string buffer = "a\tb\nc\rd~\x7F\x80\xFF";
  buffer += std::string("\0\x01\x1F", 3);
  EXPECT_TRUE(RepairControlBytes(buffer));
  EXPECT_EQ(buffer, "a\tb\nc\rd~ \x80\xFF   ");
  EXPECT_FALSE(RepairControlBytes(buffer));
}

TEST(XmlLoader, NulByteIsRepairedAndTheDocumentReloaded) {
  XmlContext context;
  std::string buffer = std::string("<rss><channel><title>A") + '\0' + "B</title></channel></rss>";
  const XmlLoad load = LoadXmlDocumentRepaired(context, buffer);
  ASSERT_TRUE(load) << load.Error.Reason;
  EXPECT_EQ(context.ParseError.ErrorCode, 0);
  EXPECT_EQ(ReadChildText(BuildXmlList(*load.Document), "rss/channel/title"), "A B");
}

TEST(XmlLoader, FailedRepairReportsTheFirstError) {
  XmlContext context;
  // Not well-formed apart from the NUL byte: the reload fails at the missing end tag, but
  // the report is that of the first load, about the NUL byte on line 1.
  std::string buffer = std::string("<rss>") + '\0' + "\n\n<channel>";
  const XmlLoad load = LoadXmlDocumentRepaired(context, buffer);
  ASSERT_FALSE(load);
  EXPECT_EQ(load.Error.Line, 1);
  EXPECT_EQ(context.ParseError.Line, 1);
  EXPECT_EQ(context.ParseError.Reason, load.Error.Reason);

  // Nothing to repair: loaded once, its own error kept.
  std::string clean = "<a></b>";
  const XmlLoad once = LoadXmlDocumentRepaired(context, clean);
  ASSERT_FALSE(once);
  EXPECT_EQ(clean, "<a></b>");
  EXPECT_NE(context.ParseError.Reason.find("b"), std::string::npos);
}

TEST(XmlLoader, UnreadableFileIsALoadError) {
  XmlContext context;
  testsupport::TempDir dir;
  EXPECT_FALSE(LoadXmlDocumentFile(context, dir / "missing.xml"));
  EXPECT_NE(context.ParseError.ErrorCode, 0);
  testsupport::WriteFile(dir / "ok.xml", "<plover><version>1.00</version></plover>");
  const std::optional<TXMLList> list = LoadXmlListFile(context, dir / "ok.xml");
  ASSERT_TRUE(list);
  EXPECT_EQ(ReadChildText(*list, "plover/version"), "1.00");
}

}  // namespace
}  // namespace formats
