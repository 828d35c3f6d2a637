// SPDX-License-Identifier: MIT
#include "formats/FeedTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "formats/feeds/FeedDate.h"
#include "support/TempDir.h"
#include "text/Convert.h"

namespace formats::testing {

double TestNow() {
  return Day(2024, 6, 1, 12);
}

double Day(int year, int month, int day, int hour, int minute, int second) {
  return *EncodeDateTime(year, month, day, hour, minute, second);
}

FeedFixture::FeedFixture() : processor(Services()) {}

FeedServices FeedFixture::Services() {
  FeedServices services{store, settings, dialogs, xml};
  services.Totals = &totals;
  services.Media.Queue = &media;
  services.LocalZone = ZoneRules::Fixed(kTestZoneHours * 60);
  services.Now = [] { return TestNow(); };
  return services;
}

store::TTreeNodeExt* FeedFixture::AddChannel(const std::string& rdfurl) {
  auto list = std::make_unique<store::TSiteList>();
  list->Site.rdfurl = rdfurl;
  return store.Tree().AddChild(store.Tree().RootNode(), rdfurl, store::kKindChannel, std::move(list));
}

uint8_t FeedFixture::Update(store::TTreeNodeExt* node, std::string document, const std::string& address) {
  return processor.ProcessFeedDocument(node, lastOutNode, std::move(document), address, kFeedUpdate, false, {});
}

uint8_t FeedFixture::Register(store::TTreeNodeExt* node, const std::string& address, FeedMode mode,
                              const TDefParamType& defaults) {
  return processor.ProcessFeedDocument(node, lastOutNode, std::nullopt, address, mode, false, defaults);
}

namespace {

std::string Visible(std::string_view sjis) {
  std::string out;
  for (const char c : text::SjisToUtf8(sjis)) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string DateText(double day) {
  using namespace std::chrono;
  const auto whole = static_cast<long>(std::floor(day));
  const auto millis = std::lround((day - static_cast<double>(whole)) * 86'400'000.0);
  const year_month_day date{sys_days{1899y / December / 30} + days{whole}};
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02u %02ld:%02ld:%02ld", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()), millis / 3'600'000,
                millis / 60'000 % 60, millis / 1000 % 60);
  return buffer;
}

void Field(std::string& out, const char* name, std::string_view value) {
  if (!value.empty()) out += std::string(name) + ": " + Visible(value) + "\n";
}

void DescribeRecord(std::string& out, const store::TSiteRecord& record, bool item) {
  Field(out, "rdfurl", record.rdfurl);
  Field(out, "imgurl", record.imgurl);
  Field(out, "imgtitle", record.imgtitle);
  Field(out, "imglink", record.imglink);
  Field(out, "title", record.title);
  Field(out, "link", record.link);
  Field(out, "desc", record.desc);
  Field(out, "de_cd", record.de_cd);
  Field(out, "encoded", record.encoded);
  Field(out, "en_cd", record.en_cd);
  // A synthetic date lies a few microseconds before the moment of the run, which the
  // seconds shown here cannot tell apart; the order of the items shows it.
  out += "modified: " + DateText(record.modified) + "\n";
  Field(out, "creator", record.creator);
  Field(out, "category", record.category);
  Field(out, "pubdate", record.pubdate);
  Field(out, "xmlbase", record.xmlbase);
  Field(out, "commurl", record.commurl);
  if (record.commnum != 0) out += "commnum: " + std::to_string(record.commnum) + "\n";
  Field(out, "enclose", record.enclose);
  if (item) out += "read: " + std::to_string(record.read) + "\n";
}

}  // namespace

std::string DescribeChannel(const store::TSiteList& channel) {
  std::string out = "[channel]\n";
  DescribeRecord(out, channel.Site, false);
  for (size_t i = 0; i < channel.Count(); ++i) {
    out += "\n[item " + std::to_string(i + 1) + "]\n";
    DescribeRecord(out, *channel.ItemAt(i), true);
  }
  return out;
}

std::string TestDataPath(std::string_view name) {
  return std::string(PLOVER_TEST_DATA) + std::string(name);
}

std::string ReadTestData(std::string_view name) {
  return testsupport::ReadFile(TestDataPath(name));
}

void ExpectMatchesGolden(const std::string& actual, std::string_view goldenName) {
  const std::string path = TestDataPath(goldenName);
  if (std::getenv("PLOVER_UPDATE_GOLDEN") != nullptr) {
    testsupport::WriteFile(path, actual);
    return;
  }
  ASSERT_TRUE(testsupport::FileExists(path)) << path << " is missing; run with PLOVER_UPDATE_GOLDEN=1";
  EXPECT_EQ(actual, testsupport::ReadFile(path)) << "golden file " << path;
}

}  // namespace formats::testing
