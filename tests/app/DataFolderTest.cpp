// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <map>

#include "app/DataFolder.h"
#include "support/TempDir.h"

namespace app {
namespace {

Environment FakeEnvironment(std::map<std::string, std::string> values) {
  return [values = std::move(values)](std::string_view name) -> std::optional<std::string> {
    auto it = values.find(std::string(name));
    if (it == values.end()) return std::nullopt;
    return it->second;
  };
}

TEST(AppDataFolder, PrefersAnAbsoluteXdgDataHomeAndFallsBackToHome) {
  EXPECT_EQ(AppDataFolder(FakeEnvironment({{"XDG_DATA_HOME", "/x/data/"}, {"HOME", "/home/u"}})), "/x/data");
  EXPECT_EQ(AppDataFolder(FakeEnvironment({{"XDG_DATA_HOME", "relative"}, {"HOME", "/home/u"}})),
            "/home/u/.local/share");
  EXPECT_EQ(AppDataFolder(FakeEnvironment({{"XDG_DATA_HOME", ""}, {"HOME", "/home/u/"}})), "/home/u/.local/share");
  EXPECT_EQ(AppDataFolder(FakeEnvironment({})), "");
}

// Each case writes plover.drv (or none) and resolves one line; "<program>" in the
// expectation stands for the program folder.
struct DriveCase {
  const char* name;
  const char* content;  // nullptr: no plover.drv
  int line;
  std::string expected;
};

class ResolveDataFolderCases : public testing::TestWithParam<DriveCase> {};

TEST_P(ResolveDataFolderCases, FindsTheFolder) {
  const DriveCase& c = GetParam();
  testsupport::TempDir program;
  if (c.content) testsupport::WriteFile(program / "plover.drv", c.content);
  std::string expected = c.expected;
  if (expected.rfind("<program>", 0) == 0) expected = program.Path() + expected.substr(9);

  const DataFolderLocation location = ResolveDataFolder(program.Path(), c.line, "/home/u/.local/share");
  EXPECT_EQ(location.DataFolder, expected);
  EXPECT_EQ(location.IniFileName, expected + "plover.ini");
}

const DriveCase kDriveCases[] = {
    {"NoFileMeansTheProgramFolder", nullptr, 1, "<program>"},
    {"LowerCasePlaceholderWithNoInstallTakesTheOnlyLine", "[appdata]/Plover\r\n", 2, "/home/u/.local/share/Plover/"},
    {"FirstLine", "/srv/first\r\n/srv/second\r\n", 1, "/srv/first/"},
    {"SecondLine", "/srv/first\r\n/srv/second\r\n", 2, "/srv/second/"},
    {"LastLineWithoutLineEnd", "/srv/first\n/srv/second", 2, "/srv/second/"},
    {"TrailingSlashIsNotDoubled", "/srv/data/\r\n", 1, "/srv/data/"},
    {"MixedCasePlaceholderInTheMiddle", "/mnt/[AppData]/x\r\n", 1, "/mnt/home/u/.local/share/x/"},
    {"RelativeToTheProgramFolder", "data/../store\r\n", 1, "<program>store/"},
    {"EmptyFile", "", 1, "<program>"},
    {"EmptyChosenLine", "/srv/first\r\n\r\n", 2, "<program>"},
    {"ByteOrderMarkIgnored", "\xEF\xBB\xBF/srv/bom\r\n", 1, "/srv/bom/"},
    {"Utf8LineKept", "/srv/\xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF\r\n", 1, "/srv/\xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF/"},
    {"Cp932LineDecoded", "/srv/\x83\x66\x81\x5B\x83\x5E\r\n", 1, "/srv/\xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF/"},
};

INSTANTIATE_TEST_SUITE_P(Cases, ResolveDataFolderCases, testing::ValuesIn(kDriveCases),
                         [](const testing::TestParamInfo<DriveCase>& info) { return info.param.name; });

}  // namespace
}  // namespace app
