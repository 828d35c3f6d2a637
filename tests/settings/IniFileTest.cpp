// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "settings/IniFile.h"
#include "settings/StartupSettings.h"
#include "support/TempDir.h"
#include "text/Literal.h"

namespace settings {
namespace {

TEST(IniFileTest, ReadsAMessyFile) {
  IniFile ini;
  ini.Parse(
      "Stray=before any section\r\n"
      "; a comment\r\n"
      "\r\n"
      "[Ev_Main]\r\n"
      "  ItemMax = 50\r\n"
      "itemmax=70\n"     // a second key of the same name: the first wins
      "Title=a=b  \r\n"  // the raw text after the first "="
      "no equals sign here\r\n"
      "   ; indented comment=1\r\n"
      "\n\n"
      "[ ev_other ]\n"
      "Empty=\r\n"
      "[EV_MAIN]\r\n"  // the section again continues the first one
      "DateMax=30\r\n"
      "Name=" +
      text::J("日本語") + "\r\n");
  EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"Ev_Main", "ev_other"}));
  EXPECT_EQ(ini.ReadInteger("EV_MAIN", "ITEMMAX", 0), 50);
  EXPECT_EQ(ini.ReadString("ev_main", "title", "x"), "a=b  ");
  EXPECT_EQ(ini.ReadInteger("Ev_Main", "DateMax", 0), 30);
  EXPECT_EQ(ini.ReadString("Ev_Main", "Name", ""), text::J("日本語"));
  EXPECT_EQ(ini.ReadString("Ev_Other", "Empty", "default"), "");
  EXPECT_FALSE(ini.ValueExists("Ev_Main", "no equals sign here"));
  EXPECT_FALSE(ini.ValueExists("Ev_Main", "; indented comment"));
  EXPECT_EQ(ini.ReadString("", "Stray", "dropped"), "dropped");
  EXPECT_EQ(ini.ReadString("Missing", "Key", "fallback"), "fallback");
  EXPECT_EQ(ini.ReadInteger("Ev_Main", "Missing", -3), -3);
  EXPECT_TRUE(ini.ReadBool("Missing", "Missing", true));
}

TEST(IniFileTest, IntegersAndBooleans) {
  struct Case {
    const char* value;
    std::optional<int32_t> number;
  };
  const Case cases[] = {
      {"12", 12},
      {"-5", -5},
      {"+7", 7},
      {" 42 ", 42},
      {"0x1F", 31},
      {"0XfF", 255},
      {"0xFFFFFFFF", -1},
      {"-0x10", -16},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"2147483648", {}},
      {"99999999999", {}},
      {"0x100000000", {}},
      {"0x", {}},
      {"12abc", {}},
      {"abc", {}},
      {"", {}},
      {"-", {}},
      {"1 2", {}},
      {"yes", {}},
  };
  for (const Case& c : cases) {
    IniFile ini;
    ini.Parse(std::string("[S]\nK=") + c.value + "\n");
    EXPECT_EQ(ParseIniInteger(c.value), c.number) << c.value;
    EXPECT_EQ(ini.ReadInteger("S", "K", 1234), c.number.value_or(1234)) << c.value;
    bool expectedBool = c.number ? *c.number != 0 : true;
    EXPECT_EQ(ini.ReadBool("S", "K", true), expectedBool) << c.value;
    EXPECT_EQ(ini.ReadBool("S", "K", false), c.number ? *c.number != 0 : false) << c.value;
  }
}

TEST(IniFileTest, SurvivesJunkAndTruncation) {
  // Binary junk of many shapes, NUL bytes and lone CRs included.
  uint32_t seed = 12345;
  for (int round = 0; round < 200; ++round) {
    std::string junk;
    size_t length = static_cast<size_t>(round) * 37;
    for (size_t i = 0; i < length; ++i) {
      seed = seed * 1103515245u + 12345u;
      junk += static_cast<char>(seed >> 16);
    }
    IniFile ini;
    ini.Parse("[Head]\r\nA=1\r\n" + junk + "\r\n[Tail]\r\nB=2");
    EXPECT_EQ(ini.ReadInteger("Head", "A", 0), 1);
    EXPECT_EQ(ini.ReadInteger("Tail", "B", 0), 2);  // the last line has no line end
  }

  IniFile truncated;
  truncated.Parse("[Ev_Main]\r\nPausetime=30\r\n[Ev_Ext");
  EXPECT_EQ(truncated.SectionNames(), std::vector<std::string>{"Ev_Main"});
  EXPECT_EQ(truncated.ReadInteger("Ev_Main", "Pausetime", 0), 30);

  IniFile lonelyCr;
  lonelyCr.Parse("[A]\rK=v\r[B]\rK=w");
  EXPECT_EQ(lonelyCr.ReadString("A", "K", ""), "v");
  EXPECT_EQ(lonelyCr.ReadString("B", "K", ""), "w");

  std::string hugeValue(1 << 20, 'x');
  IniFile huge;
  huge.Parse("[A]\nK=" + hugeValue + "\n[" + std::string(100000, 'n'));
  EXPECT_EQ(huge.ReadString("A", "K", ""), hugeValue);
}

TEST(IniFileTest, LoadsFromDiskAndReportsAMissingFile) {
  testsupport::TempDir dir;
  testsupport::WriteFile(dir / "plover.ini", "[Ev_Main]\r\nTreeBold=0\r\n");
  IniFile ini;
  EXPECT_TRUE(ini.Load(dir / "plover.ini"));
  EXPECT_FALSE(ini.ReadBool("Ev_Main", "TreeBold", true));
  EXPECT_FALSE(ini.Load(dir / "missing.ini"));
  EXPECT_TRUE(ini.SectionNames().empty());
  EXPECT_TRUE(ini.ReadBool("Ev_Main", "TreeBold", true));
}

TEST(IniFileTest, WritesInFirstCreatedOrder) {
  IniFile ini;
  ini.Parse("[Old]\r\nkeep=1\r\nKEY=a\r\nkey=b\r\n[Other]\r\nX=y\r\n");
  ini.WriteString("old", "Key", "new");  // the first match takes the value and the spelling
  ini.WriteInteger("Old", "Added", -12);
  ini.WriteBool("Fresh", "On", true);
  ini.WriteBool("Fresh", "Off", false);
  ini.WriteString("Other", "Text", "a\r\n[Injected]\nK=v");  // no line break gets in
  EXPECT_EQ(ini.Render(),
            "[Old]\r\nkeep=1\r\nKey=new\r\nkey=b\r\nAdded=-12\r\n\r\n"
            "[Other]\r\nX=y\r\nText=a[Injected]K=v\r\n\r\n"
            "[Fresh]\r\nOn=1\r\nOff=0\r\n\r\n");

  ini.EraseSection("OTHER");
  ini.EraseSection("Missing");
  ini.WriteString("Other", "X", "z");  // created again, now last
  EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"Old", "Fresh", "Other"}));
  EXPECT_FALSE(ini.ValueExists("Other", "Text"));
}

TEST(IniFileTest, RenderedFileReadsBackTheSame) {
  // Whatever was read, written out and read again gives the same sections and keys, and
  // writing that again gives the same bytes.
  uint32_t seed = 99;
  for (int round = 0; round < 100; ++round) {
    std::string bytes;
    for (int i = 0; i < 300; ++i) {
      seed = seed * 1103515245u + 12345u;
      const char pieces[] = {'[', ']', '=', ';', '\r', '\n', ' ', 'a', 'B', '\0', '\x81', '\xFF'};
      bytes += pieces[(seed >> 16) % sizeof pieces];
    }
    IniFile first;
    first.Parse(bytes);
    IniFile second;
    second.Parse(first.Render());
    ASSERT_EQ(second.SectionNames(), first.SectionNames()) << round;
    for (size_t i = 0; i < first.Sections().size(); ++i) {
      const auto& a = first.Sections()[i].Entries;
      const auto& b = second.Sections()[i].Entries;
      ASSERT_EQ(a.size(), b.size()) << round;
      for (size_t j = 0; j < a.size(); ++j) {
        EXPECT_EQ(a[j].Key, b[j].Key);
        EXPECT_EQ(a[j].Value, b[j].Value);
      }
    }
    EXPECT_EQ(second.Render(), first.Render());
  }
}

TEST(StartupSettingsTest, ReadsTitleAndPauseWithDefaults) {
  testsupport::TempDir dir;
  StartupSettings missing = LoadStartupSettings(dir / "none.ini");
  EXPECT_EQ(missing.ProgramTitle, "Plover");
  EXPECT_EQ(missing.Pausetime, 20);

  testsupport::WriteFile(
      dir / "set.ini", "[ev_extension]\r\nprogramtitle=" + text::J("ぷろばー") + "\r\n[EV_MAIN]\r\nPAUSETIME=0x0A\r\n");
  StartupSettings set = LoadStartupSettings(dir / "set.ini");
  EXPECT_EQ(set.ProgramTitle, text::J("ぷろばー"));
  EXPECT_EQ(set.Pausetime, 10);

  testsupport::WriteFile(dir / "junk.ini", "[Ev_Main]\r\nPausetime=soon\r\n[Ev_Extension]\r\n");
  StartupSettings junk = LoadStartupSettings(dir / "junk.ini");
  EXPECT_EQ(junk.ProgramTitle, "Plover");
  EXPECT_EQ(junk.Pausetime, 20);
}

}  // namespace
}  // namespace settings
