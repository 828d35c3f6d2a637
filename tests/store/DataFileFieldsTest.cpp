// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <set>
#include <string>
#include <variant>

#include "DataFileSupport.h"
#include "store/datafile/DataFileFields.h"
#include "store/datafile/DataFileParser.h"
#include "store/datafile/DataFileWriter.h"

namespace store::testing {
namespace {

using datafile::ChannelField;
using datafile::kChannelFields;
using text::J;

// Gives the field of `channel` a value that no field starts with, the largest or most
// negative its width holds, and returns the line the writer makes of it.
std::string SetSample(TSiteList& channel, const ChannelField& field) {
  const std::string key(field.key);
  return std::visit(datafile::Overloaded{
                        [&](datafile::TextMember form) {
                          channel.*form.member = J("値 ") + key;
                          return key + ":" + J("値 ") + key;
                        },
                        [&](datafile::DayMember form) {
                          channel.*form.member = 39449.75;
                          return key + ":39449.75";
                        },
                        [&]<typename T>(datafile::NumberMember<T> form) {
                          const T value = std::numeric_limits<T>::is_signed ? std::numeric_limits<T>::min()
                                                                            : std::numeric_limits<T>::max();
                          channel.*form.member = value;
                          return key + ":" + std::to_string(value);
                        },
                        [&](datafile::Unsigned32Member form) {
                          channel.*form.member = -1;
                          return key + ":4294967295";
                        },
                    },
                    field.member);
}

// Whether the field holds the same value in both channels.
bool SameValue(const TSiteList& a, const TSiteList& b, const ChannelField& field) {
  return std::visit([&](auto form) { return a.*form.member == b.*form.member; }, field.member);
}

class ChannelFieldRoundTrip : public ::testing::TestWithParam<ChannelField> {
 protected:
  TTreeNodeExt* Root() { return store.Tree().RootNode(); }

  settings::Settings settings;
  ChannelStore store{settings};
};

// One field set, every other at its start value (the recovery number aside, which every
// written channel gets): the file holds the field's line, and reading it back gives the
// value in that field and changes no other.
TEST_P(ChannelFieldRoundTrip, TheWrittenValueComesBackInItsOwnField) {
  const ChannelField& field = GetParam();
  TTreeNodeExt* node = AddChannel(store, Root(), "A", 0, 7);
  TSiteList& written = *node->Data();
  const std::string line = SetSample(written, field);

  RecoveryCounter counter(1);
  const std::string file = SerializeChannelTree(store.Tree(), settings, 39450.5, counter);
  EXPECT_NE(file.find("\r\n" + line + "\r\n"), std::string::npos) << file;

  settings::Settings otherSettings;
  ChannelStore other(otherSettings);
  ASSERT_TRUE(ParseChannelData(file, other, nullptr).Accepted());
  ASSERT_EQ(other.Tree().RootNode()->ChildCount(), 1u);
  const TSiteList& read = *other.Tree().RootNode()->Child(0)->Data();
  for (const ChannelField& each : kChannelFields) EXPECT_TRUE(SameValue(written, read, each)) << each.key;
  EXPECT_EQ(read.Site.rdfurl, written.Site.rdfurl);
  // The same tree gives the same bytes again.
  EXPECT_EQ(SerializeChannelTree(other.Tree(), otherSettings, 39450.5, counter), file);
}

INSTANTIATE_TEST_SUITE_P(EveryField, ChannelFieldRoundTrip, ::testing::ValuesIn(kChannelFields),
                         [](const ::testing::TestParamInfo<ChannelField>& info) {
                           return std::string(info.param.key);
                         });

// A channel key in an item record belongs to no field of the item and is dropped.
TEST(ChannelFieldsTest, ChannelKeysOfAnItemRecordAreNotUsed) {
  settings::Settings settings;
  ChannelStore store{settings};
  const std::string file =
      "[000001]\r\nflag:001001\r\ndispname:A\r\nitemmax:5\r\n*\r\n"
      "flag:001010\r\ntitle:x\r\nitemmax:9\r\nkeyword:k\r\n*\r\n";
  ASSERT_TRUE(ParseChannelData(file, store, nullptr).Accepted());
  const TSiteList& channel = *store.Tree().RootNode()->Child(0)->Data();
  EXPECT_EQ(channel.itemmax, 5);
  EXPECT_EQ(channel.keyword, "");
  EXPECT_EQ(channel.Count(), 1u);
}

// Every option of a channel is a field of the table: clearing the table's fields leaves
// no option set, and moving them takes every option along.
TEST(ChannelFieldsTest, TheTableCoversEveryOption) {
  ChannelOptions options;
  options.itemmax = 1;
  options.datemax = 2;
  options.refresh = 3;
  options.noread = 1;
  options.datecomp = 1;
  options.keyword = "k";
  options.authorize = "0A1B";
  options.htmlrss = 1;
  options.regexpr = "r";
  options.encflag = 1;
  options.entojp = 1;
  options.linkop = 1;
  options.clone = "http://clone/";

  TSiteList from;
  from.Options() = options;
  TSiteList to;
  datafile::MoveChannelFields(from, to);
  EXPECT_EQ(to.Options(), options);
  datafile::ClearChannelFields(to);
  EXPECT_EQ(to.Options(), ChannelOptions{});
}

TEST(ChannelFieldsTest, KeysAndOldElementsAreUniqueAndLowerCase) {
  std::set<std::string_view> keys;
  std::set<std::string_view> elements;
  for (const ChannelField& field : kChannelFields) {
    EXPECT_TRUE(keys.insert(field.key).second) << field.key;
    for (char c : std::string(field.key) + std::string(field.legacyElement)) EXPECT_FALSE(c >= 'A' && c <= 'Z');
    EXPECT_EQ(datafile::ChannelFieldOfKey(field.key), &field);
    if (!field.legacyElement.empty()) {
      EXPECT_TRUE(elements.insert(field.legacyElement).second) << field.key;
      EXPECT_EQ(datafile::ChannelFieldOfElement(field.legacyElement), &field);
    }
  }
  EXPECT_EQ(datafile::ChannelFieldOfKey("title"), nullptr);
  EXPECT_EQ(datafile::ChannelFieldOfElement(""), nullptr);
}

}  // namespace
}  // namespace store::testing
