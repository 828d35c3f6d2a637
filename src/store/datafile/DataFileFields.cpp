// SPDX-License-Identifier: MIT
#include "store/datafile/DataFileFields.h"

#include <utility>

namespace store::datafile {

const ChannelField* ChannelFieldOfKey(std::string_view key) {
  // Comparing the length and the first letter first keeps this cheap on a large file.
  for (const ChannelField& field : kChannelFields) {
    if (field.key.size() == key.size() && field.key[0] == key[0] && field.key == key) return &field;
  }
  return nullptr;
}

const ChannelField* ChannelFieldOfElement(std::string_view element) {
  if (element.empty()) return nullptr;
  for (const ChannelField& field : kChannelFields) {
    if (field.legacyElement == element) return &field;
  }
  return nullptr;
}

void MoveChannelFields(TSiteList& from, TSiteList& to) {
  for (const ChannelField& field : kChannelFields) {
    std::visit([&](auto form) { to.*form.member = std::move(from.*form.member); }, field.member);
  }
}

void ClearChannelFields(TSiteList& channel) {
  for (const ChannelField& field : kChannelFields) {
    std::visit([&](auto form) { channel.*form.member = {}; }, field.member);
  }
}

}  // namespace store::datafile
