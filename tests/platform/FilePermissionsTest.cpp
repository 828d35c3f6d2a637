// SPDX-License-Identifier: MIT
// What the program creates is its user's alone; only what is meant to be handed on may be
// read by others.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/Files.h"
#include "support/TempDir.h"

namespace platform {
namespace {

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info.st_mode & 07777;
}

TEST(FilePermissionsTest, FoldersAndNewFilesAreTheUsersAlone) {
  testsupport::TempDir dir;
  ASSERT_TRUE(CreateFolders(dir / "data/system/styles"));
  EXPECT_EQ(ModeOf(dir / "data"), 0700u);
  EXPECT_EQ(ModeOf(dir / "data/system"), 0700u);
  EXPECT_EQ(ModeOf(dir / "data/system/styles"), 0700u);

  ASSERT_TRUE(WriteFileDurably(dir / "data/plover.ini", "[Ev_Main]\r\n"));
  EXPECT_EQ(ModeOf(dir / "data/plover.ini"), 0600u);
  ASSERT_TRUE(WriteFileDurably(dir / "list.opml", "<opml/>", FileAccess::kShared));
  EXPECT_EQ(ModeOf(dir / "list.opml"), 0644u);

  // A file that is there keeps what its user gave it.
  ASSERT_EQ(::chmod((dir / "data/plover.ini").c_str(), 0640), 0);
  ASSERT_TRUE(WriteFileDurably(dir / "data/plover.ini", "[Ev_Main]\r\nItemMax=0\r\n"));
  EXPECT_EQ(ModeOf(dir / "data/plover.ini"), 0640u);

  // Copies and second names keep the user's part of the permissions, nothing more.
  ASSERT_TRUE(CopyFileDurably(dir / "list.opml", dir / "data/copy.opml"));
  EXPECT_EQ(ModeOf(dir / "data/copy.opml"), 0600u);
  ASSERT_EQ(::chmod((dir / "list.opml").c_str(), 0755), 0);
  ASSERT_TRUE(CopyFileDurably(dir / "list.opml", dir / "data/run.opml"));
  EXPECT_EQ(ModeOf(dir / "data/run.opml"), 0700u);
  ASSERT_TRUE(LinkOrCopyNew(dir / "list.opml", dir / "data/second.opml"));
  EXPECT_EQ(ModeOf(dir / "data/second.opml"), 0700u);
}

TEST(FilePermissionsTest, AFolderOthersMayReadIsMadePrivate) {
  testsupport::TempDir dir;
  const std::string folder = dir / "data";
  ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
  ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
  EXPECT_TRUE(MakeFolderPrivate(folder));
  EXPECT_EQ(ModeOf(folder), 0700u);
  EXPECT_FALSE(MakeFolderPrivate(folder)) << "private already";

  // Only what the group and others had is taken; the user's own part stays as it was.
  ASSERT_EQ(::chmod(folder.c_str(), 0571), 0);
  EXPECT_TRUE(MakeFolderPrivate(folder + "/"));
  EXPECT_EQ(ModeOf(folder), 0500u);
  ASSERT_EQ(::chmod(folder.c_str(), 0700), 0);

  EXPECT_FALSE(MakeFolderPrivate(dir / "missing"));
  testsupport::WriteFile(dir / "file", "x");
  ASSERT_EQ(::chmod((dir / "file").c_str(), 0644), 0);
  EXPECT_FALSE(MakeFolderPrivate(dir / "file"));
  EXPECT_EQ(ModeOf(dir / "file"), 0644u);
}

TEST(FilePermissionsTest, AFolderOfAnotherUserIsLeftAlone) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can give a folder to another user";
  testsupport::TempDir dir;
  const std::string folder = dir / "shared";
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
  ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
  EXPECT_FALSE(MakeFolderPrivate(folder));
  EXPECT_EQ(ModeOf(folder), 0755u);
}

TEST(FilePermissionsTest, FlushingAFolderSucceedsWhereThereIsNothingToReport) {
  testsupport::TempDir dir;
  EXPECT_TRUE(SyncFolder(dir.Path()));
  EXPECT_TRUE(SyncFolder(dir / "missing"));  // nothing there to flush
}

}  // namespace
}  // namespace platform
