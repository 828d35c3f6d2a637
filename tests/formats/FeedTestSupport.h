// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "formats/feeds/FeedProcessor.h"
#include "formats/feeds/FeedRun.h"
#include "settings/Settings.h"
#include "store/ChannelStore.h"
#include "support/ScriptedDialogs.h"

namespace formats::testing {

// The moment every feed test runs at: 2024-06-01 12:00 local time, in a zone 9 hours
// east of UTC.
double TestNow();
inline constexpr int kTestZoneHours = 9;

// A date-time of the test zone as a day number.
double Day(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

// A store with settings and a processor wired to a fixed clock, the test dialogs and no
// network: local files only.
class FeedFixture {
 public:
  FeedFixture();
  virtual ~FeedFixture() = default;

  // A channel under the root with the given feed address.
  store::TTreeNodeExt* AddChannel(const std::string& rdfurl = "http://example.com/feed.xml");
  static store::TSiteList& ChannelOf(store::TTreeNodeExt* node) { return *node->Data(); }

  // Processes `document` (UTF-8 text is written as it is) into the channel, mode 0.
  uint8_t Update(store::TTreeNodeExt* node, std::string document, const std::string& address = {});

  // Mode 1 or 2 with a document fetched from `address` by the processor.
  uint8_t Register(store::TTreeNodeExt* node, const std::string& address, FeedMode mode,
                   const TDefParamType& defaults = {});

  settings::Settings settings = settings::DefaultSettings(0);
  store::ChannelStore store{settings};
  testsupport::ScriptedDialogs dialogs;
  XmlContext xml;
  UpdateRunTotals totals;
  MediaQueue media;
  FeedProcessor processor;
  store::TTreeNodeExt* lastOutNode = nullptr;

 protected:
  FeedServices Services();
};

// The readable form of a channel for golden files: the header, then every item, each
// field on a line of its own ("name: value", UTF-8, CR LF and TAB shown as \r \n \t);
// fields left empty are not listed.
std::string DescribeChannel(const store::TSiteList& channel);

// A file of the test data folder, and the golden-file check: with the environment variable
// PLOVER_UPDATE_GOLDEN set, the golden file is rewritten instead of compared.
std::string TestDataPath(std::string_view name);
std::string ReadTestData(std::string_view name);
void ExpectMatchesGolden(const std::string& actual, std::string_view goldenName);

}  // namespace formats::testing
