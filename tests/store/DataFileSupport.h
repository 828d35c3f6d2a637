// SPDX-License-Identifier: MIT
#pragma once

#include <ctime>
#include <filesystem>
#include <memory>
#include <string>

#include "settings/Settings.h"
#include "store/ChannelStore.h"
#include "store/datafile/DataGuard.h"
#include "store/datafile/FeedDataFile.h"
#include "store/journal/RecoveryCounter.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "text/Literal.h"

namespace store::testing {

// The committed fixture files beside this header.
inline std::string FixturePath(const std::string& name) {
  return std::string(PLOVER_TEST_DATA) + name;
}

// 2008-01-03 12:00 local time: day number 39450.5, close to the dates in the fixtures so
// that the age bound keeps their items.
inline std::time_t FixtureNow() {
  std::tm local{};
  local.tm_year = 108;
  local.tm_mon = 0;
  local.tm_mday = 3;
  local.tm_hour = 12;
  local.tm_isdst = -1;
  return std::mktime(&local);
}

// One run of the program as far as its data is concerned: settings, store, save lock,
// dialogs, recovery counter and data file, over a data folder that outlives the run.
struct ProgramRun {
  explicit ProgramRun(const std::string& folder, int treeOpen = 3) : folder(folder) {
    settings.TreeOpen = treeOpen;
    settings.DateMax = 0;
    settings.ItemMax = 0;
    dataFile.SetClock([] { return FixtureNow(); });
  }

  bool Load(int firstAttempt = 0) { return dataFile.LoadChannelTree(folder, firstAttempt, false); }
  SaveResult Save(bool makeBackup = false) { return dataFile.SaveChannelTree(folder, makeBackup); }
  TTreeNodeExt* Root() { return store.Tree().RootNode(); }

  std::string folder;
  settings::Settings settings;
  ChannelStore store{settings};
  DataGuard guard;
  testsupport::ScriptedDialogs dialogs;
  RecoveryCounter counter{1000};
  FeedDataFile dataFile{store, guard, dialogs, counter};
};

// Adds a channel with `items` unread items titled "<prefix>0", "<prefix>1", ...
inline TTreeNodeExt* AddChannel(ChannelStore& store, TTreeNodeExt* parent, const std::string& caption, int items,
                                int32_t recovery = 0) {
  auto list = std::make_unique<TSiteList>();
  list->Site.rdfurl = "http://example.com/" + caption + ".xml";
  list->Site.title = caption;
  list->Site.link = "http://example.com/" + caption;
  list->recovery = recovery;
  TTreeNodeExt* node = store.Tree().AddChild(parent, caption, kKindChannel, std::move(list));
  for (int i = 0; i < items; ++i) {
    TSiteRecord item;
    item.title = caption + "-" + std::to_string(i);
    item.link = "http://example.com/" + caption + "/" + std::to_string(i);
    item.modified = 39450 + i / 24.0;
    store.AddItemToChannel(*node->Data(), item);
  }
  return node;
}

}  // namespace store::testing
