// SPDX-License-Identifier: MIT
// Checks the content of the built-in text files as the program carries them.
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/private/EmbeddedFiles.h"
#include "platform/CodePage.h"
#include "settings/IniFile.h"

namespace app {
namespace {

std::string Embedded(const std::string& name) {
  const EmbeddedFile* file = FindEmbeddedFile(name);
  return file ? std::string(file->Bytes()) : std::string();
}

// Splits at CR LF; a bare CR or LF anywhere is reported.
std::vector<std::string> CrLfLines(const std::string& text, bool* bareLineEnd) {
  std::vector<std::string> lines;
  *bareLineEnd = false;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find("\r\n", start);
    const std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (line.find_first_of("\r\n") != std::string::npos) *bareLineEnd = true;
    lines.push_back(line);
    if (end == std::string::npos) break;
    start = end + 2;
  }
  return lines;
}

// Matches a line against literal pieces with a value between each two of them; a value is
// not empty and holds none of the characters that would need escaping. Gives the values.
std::optional<std::vector<std::string>> MatchPieces(const std::string& line, const std::vector<std::string>& pieces) {
  if (line.rfind(pieces.front(), 0) != 0) return std::nullopt;
  std::vector<std::string> values;
  size_t at = pieces.front().size();
  for (size_t i = 1; i < pieces.size(); ++i) {
    const size_t end = line.find(pieces[i], at);
    if (end == std::string::npos || end == at) return std::nullopt;
    values.push_back(line.substr(at, end - at));
    if (values.back().find_first_of("\"&<>") != std::string::npos) return std::nullopt;
    at = end + pieces[i].size();
  }
  if (at != line.size()) return std::nullopt;
  return values;
}

bool IsWebAddress(const std::string& address) {
  return (address.rfind("https://", 0) == 0 || address.rfind("http://", 0) == 0) &&
         address.find(' ') == std::string::npos;
}

TEST(DefaultOpml, HasTheExportFormWithThirteenGroupsOfFiftyNineChannels) {
  const std::string opml = Embedded("default.opml");
  ASSERT_TRUE(platform::IsValidUtf8(opml));
  bool bareLineEnd = false;
  const std::vector<std::string> lines = CrLfLines(opml, &bareLineEnd);
  EXPECT_FALSE(bareLineEnd);
  ASSERT_GT(lines.size(), 10u);

  const std::vector<std::string> head = {
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
      "<opml version=\"1.1\">",
      "  <head>",
      "    <title>Plover OPMLリスト</title>",
      "    <ownername>varnholt</ownername>",
  };
  for (size_t i = 0; i < head.size(); ++i) EXPECT_EQ(lines[i], head[i]);
  const auto owner = MatchPieces(lines[5], {"    <owneremail>", "</owneremail>"});
  ASSERT_TRUE(owner);
  EXPECT_TRUE(owner->front().ends_with("@example.org")) << owner->front();
  EXPECT_EQ(lines[6], "  </head>");
  EXPECT_EQ(lines[7], "  <body>");
  EXPECT_EQ(lines[lines.size() - 2], "  </body>");
  EXPECT_EQ(lines.back(), "</opml>");  // and no line break after it

  const std::vector<std::string> group = {"    <outline text=\"", "\">"};
  const std::vector<std::string> channel = {"      <outline text=\"", "\" title=\"",
                                            "\" type=\"rss\" version=\"RSS\" htmlUrl=\"", "\" xmlUrl=\"", "\"/>"};
  int groups = 0;
  int channels = 0;
  bool inGroup = false;
  std::set<std::string> feeds;
  for (size_t i = 8; i + 2 < lines.size(); ++i) {
    if (MatchPieces(lines[i], group)) {
      EXPECT_FALSE(inGroup) << lines[i];
      inGroup = true;
      ++groups;
    } else if (const auto values = MatchPieces(lines[i], channel)) {
      EXPECT_TRUE(inGroup) << lines[i];
      EXPECT_EQ((*values)[0], (*values)[1]) << lines[i];
      EXPECT_EQ((*values)[0].find('('), std::string::npos) << "no placeholder captions: " << lines[i];
      EXPECT_TRUE(IsWebAddress((*values)[2])) << lines[i];
      EXPECT_TRUE(IsWebAddress((*values)[3])) << lines[i];
      feeds.insert((*values)[3]);
      ++channels;
    } else {
      EXPECT_EQ(lines[i], "    </outline>");
      EXPECT_TRUE(inGroup);
      inGroup = false;
    }
  }
  EXPECT_FALSE(inGroup);
  EXPECT_EQ(groups, 13);
  EXPECT_EQ(channels, 59);
  EXPECT_EQ(feeds.size(), 59u) << "every feed address appears once";
}

TEST(InitialSettingsFile, HoldsTheToolbarLayoutOfEveryMode) {
  const std::string ini = Embedded("plover.ini");
  bool bareLineEnd = false;
  CrLfLines(ini, &bareLineEnd);
  EXPECT_FALSE(bareLineEnd);
  EXPECT_TRUE(ini.ends_with("\r\n"));

  settings::IniFile file;
  file.Parse(ini);
  const char* const prefixes[] = {"Sz_", "Sz_List_", "Sz_Brow_", "Sz_Evw_"};
  const char* const toolbars[] = {"ToolBar_Browser", "ToolBar_Link",       "ToolWindow_Address", "ToolWindow_Google",
                                  "ToolBar_Button",  "ToolBar_Ken",        "Toolbar_Mode",       "ToolBar_Setup",
                                  "ToolBar_Menu",    "ToolWindow_Animate", "ToolBar_Time",       "ToolBar_Koudoku"};
  EXPECT_EQ(file.SectionNames().size(), 48u);
  for (const char* prefix : prefixes) {
    for (const std::string toolbar : toolbars) {
      const std::string section = prefix + toolbar;
      ASSERT_TRUE(file.SectionExists(section)) << section;
      EXPECT_EQ(file.ReadString(section, "Rev", ""), "2000") << section;
      std::set<std::string> keys;
      for (const auto& s : file.Sections()) {
        if (s.Name != section) continue;
        for (const auto& entry : s.Entries) keys.insert(entry.Key);
      }
      std::set<std::string> expected = {"Rev",     "Visible", "DockedTo",  "LastDock",
                                        "DockRow", "DockPos", "FloatLeft", "FloatTop"};
      if (toolbar.starts_with("ToolWindow_")) {
        expected.insert({"ClientWidth", "ClientHeight"});
      } else {
        expected.insert("FloatRightX");
      }
      EXPECT_EQ(keys, expected) << section;
    }
  }
}

TEST(ReadMe, IsJapaneseInCodePage932WithCrLf) {
  const std::string readme = Embedded("plover.txt");
  bool bareLineEnd = false;
  CrLfLines(readme, &bareLineEnd);
  EXPECT_FALSE(bareLineEnd);
  EXPECT_FALSE(platform::IsValidUtf8(readme)) << "the read-me is Shift_JIS, not UTF-8";
  const std::string utf8 = platform::Cp932ToUtf8(readme);
  std::string back;
  ASSERT_TRUE(platform::Utf8ToCp932(utf8, platform::Unmappable::kQuestionMark, back));
  EXPECT_EQ(back, readme) << "every code is defined";
  EXPECT_NE(utf8.find("フィードリーダー"), std::string::npos);
}

}  // namespace
}  // namespace app
