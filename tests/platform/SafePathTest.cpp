// SPDX-License-Identifier: MIT
// Files that pages may ask for stay inside their folder, whatever the name says.
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/SafePath.h"
#include "support/TempDir.h"

namespace platform {
namespace {

TEST(SafePathTest, OnlyRegularFilesInsideTheFolderAreFound) {
  testsupport::TempDir dir;
  testsupport::WriteFile(dir / "system/flag_u.gif", "GIF89a");
  testsupport::WriteFile(dir / "system/styles/a.css", "body {}");
  testsupport::WriteFile(dir / "secret.txt", "secret");
  ASSERT_EQ(::symlink((dir.Path() + "secret.txt").c_str(), (dir.Path() + "system/link.txt").c_str()), 0);
  ASSERT_EQ(::symlink((dir.Path() + "system/flag_u.gif").c_str(), (dir.Path() + "system/inner.gif").c_str()), 0);
  const std::string root = dir.Path() + "system";

  EXPECT_TRUE(FileInsideFolder(root, "flag_u.gif").has_value());
  EXPECT_TRUE(FileInsideFolder(root + "/", "styles/a.css").has_value());
  EXPECT_TRUE(FileInsideFolder(root, "inner.gif").has_value());  // a link that stays inside
  for (const char* refused : {"", "/etc/hostname", "../secret.txt", "styles/../../secret.txt", "..", "styles",
                              "link.txt", "missing.gif", "styles\\a.css"}) {
    EXPECT_FALSE(FileInsideFolder(root, refused).has_value()) << refused;
  }
  EXPECT_FALSE(FileInsideFolder(root, std::string_view("flag_u.gif\0x", 12)).has_value());
  EXPECT_FALSE(FileInsideFolder(dir.Path() + "gone", "flag_u.gif").has_value());
}

}  // namespace
}  // namespace platform
