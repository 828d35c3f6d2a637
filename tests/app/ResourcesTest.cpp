// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "app/Resources.h"
#include "app/private/EmbeddedFiles.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace app {
namespace {

using testsupport::ReadFile;
using testsupport::WriteFile;

std::string Embedded(const std::string& name) {
  const EmbeddedFile* file = FindEmbeddedFile(name);
  return file ? std::string(file->Bytes()) : std::string();
}

class ResourcesTest : public testing::Test {
 protected:
  std::string PathOf(const ResourceEntry& entry) const { return ResourcePath(entry, program, data); }

  testsupport::TempDir root;
  std::string program = root / "bin/";
  std::string data = root / "share/Plover/";
  testsupport::ScriptedDialogs dialogs;
};

TEST_F(ResourcesTest, TheTableNamesEveryFileInItsPlace) {
  std::map<std::string, std::string> paths;
  for (const ResourceEntry& entry : BuiltInFiles()) {
    EXPECT_NE(FindEmbeddedFile(entry.fileName), nullptr) << entry.fileName;
    paths[entry.resource] = PathOf(entry);
  }
  EXPECT_EQ(paths.size(), 12u);
  EXPECT_EQ(paths["READMETXT"], program + "plover.txt");
  EXPECT_EQ(paths["XMLPNG"], data + "system/xml.png");
  EXPECT_EQ(paths["MEDIAGIF"], data + "system/podhall.gif");
  EXPECT_EQ(paths["MHTU_GIF"], data + "system/mht_u.gif");
  EXPECT_EQ(paths["DEFAULTOPML"], data + "system/default.opml");
  EXPECT_EQ(paths["TOOLBARINI"], data + "plover.ini");
}

TEST_F(ResourcesTest, FirstStartWritesEveryFileAndLeavesNoTemporaryFile) {
  EXPECT_TRUE(ExtractResources(program, data, false, dialogs).empty());
  for (const ResourceEntry& entry : BuiltInFiles()) {
    EXPECT_EQ(ReadFile(PathOf(entry)), Embedded(entry.fileName)) << entry.fileName;
  }
  EXPECT_EQ(dialogs.beeps, 0);
  for (const std::string& folder : {program, data, data + "system/"}) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
    }
  }
}

TEST_F(ResourcesTest, OnlyMissingFilesAreWrittenWithoutUpdate) {
  ExtractResources(program, data, false, dialogs);
  for (const ResourceEntry& entry : BuiltInFiles()) WriteFile(PathOf(entry), "changed");
  std::filesystem::remove(data + "system/flag_r.gif");

  EXPECT_TRUE(ExtractResources(program, data, false, dialogs).empty());
  for (const ResourceEntry& entry : BuiltInFiles()) {
    const std::string expected = std::string(entry.fileName) == "flag_r.gif" ? Embedded("flag_r.gif") : "changed";
    EXPECT_EQ(ReadFile(PathOf(entry)), expected) << entry.fileName;
  }
}

TEST_F(ResourcesTest, UpdateRewritesEveryFileButTheSettingsFile) {
  ExtractResources(program, data, false, dialogs);
  for (const ResourceEntry& entry : BuiltInFiles()) WriteFile(PathOf(entry), "changed");

  EXPECT_TRUE(ExtractResources(program, data, true, dialogs).empty());
  for (const ResourceEntry& entry : BuiltInFiles()) {
    const std::string expected = std::string(entry.fileName) == "plover.ini" ? "changed" : Embedded(entry.fileName);
    EXPECT_EQ(ReadFile(PathOf(entry)), expected) << entry.fileName;
  }
}

TEST_F(ResourcesTest, AFailedWriteBeepsAndTheOthersAreStillWritten) {
  WriteFile(data + "system", "a file where the folder should be");
  const std::vector<std::string> failed = ExtractResources(program, data, false, dialogs);
  EXPECT_EQ(failed.size(), 10u);
  EXPECT_EQ(dialogs.beeps, 10);
  EXPECT_EQ(ReadFile(data + "plover.ini"), Embedded("plover.ini"));
  EXPECT_EQ(ReadFile(program + "plover.txt"), Embedded("plover.txt"));
}

TEST_F(ResourcesTest, AnUnknownResourceFails) {
  EXPECT_FALSE(ExtractResource("missing.gif", data + "missing.gif", true, dialogs));
  EXPECT_EQ(dialogs.beeps, 1);
  EXPECT_FALSE(testsupport::FileExists(data + "missing.gif"));
}

TEST_F(ResourcesTest, AReplacedFileKeepsItsPermissions) {
  WriteFile(data + "system/xml.png", "old");
  std::filesystem::permissions(data + "system/xml.png", std::filesystem::perms(0600));
  EXPECT_TRUE(ExtractResource("xml.png", data + "system/xml.png", true, dialogs));
  EXPECT_EQ(std::filesystem::status(data + "system/xml.png").permissions(), std::filesystem::perms(0600));
}

TEST(EmbeddedImages, AreSmallPngAndGifPictures) {
  for (const ResourceEntry& entry : BuiltInFiles()) {
    const std::string name = entry.fileName;
    const std::string bytes = Embedded(name);
    if (name.ends_with(".gif")) {
      ASSERT_GE(bytes.size(), 13u) << name;
      EXPECT_EQ(bytes.substr(0, 6), "GIF89a") << name;
      const int width = static_cast<unsigned char>(bytes[6]) | static_cast<unsigned char>(bytes[7]) << 8;
      const int height = static_cast<unsigned char>(bytes[8]) | static_cast<unsigned char>(bytes[9]) << 8;
      EXPECT_EQ(width, 16) << name;
      EXPECT_EQ(height, 16) << name;
      EXPECT_EQ(bytes.back(), ';') << name;  // the trailer
    } else if (name.ends_with(".png")) {
      EXPECT_EQ(bytes.substr(0, 8), "\x89PNG\r\n\x1a\n") << name;
    }
  }
  // The three states differ, and a saved page changes the picture.
  std::set<std::string> flags;
  for (const char* name : {"flag_p.gif", "flag_r.gif", "flag_u.gif", "mht_p.gif", "mht_r.gif", "mht_u.gif"}) {
    flags.insert(Embedded(name));
  }
  EXPECT_EQ(flags.size(), 6u);
}

}  // namespace
}  // namespace app
