// SPDX-License-Identifier: MIT
#include "store/TSiteList.h"

#include <new>

#include "platform/HttpTransport.h"

namespace store {

TSiteRecord* TSiteList::AddItem(const TSiteRecord& record) {
  return InsertItem(items_.size(), record);
}

TSiteRecord* TSiteList::AddItem(TSiteRecord&& record) {
  try {
    // Room first, so that a failure cannot come after the record was moved.
    if (items_.size() == items_.capacity()) items_.reserve(items_.empty() ? 8 : items_.size() * 2);
    auto item = std::make_unique<TSiteRecord>(std::move(record));
    item->Owner = this;
    items_.push_back(std::move(item));
    return items_.back().get();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

TSiteRecord* TSiteList::InsertItem(size_t index, const TSiteRecord& record) {
  if (index > items_.size()) return nullptr;
  try {
    auto item = std::make_unique<TSiteRecord>(record);
    item->Owner = this;
    TSiteRecord* added = item.get();
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(index), std::move(item));
    return added;
  } catch (const std::bad_alloc&) {
    // Out of memory leaves the list as it was; the caller treats the item as not added.
    return nullptr;
  }
}

bool TSiteList::GetItem(size_t index, TSiteRecord& out) const {
  if (index >= items_.size()) return false;
  out = *items_[index];
  return true;
}

TSiteRecord* TSiteList::ItemAt(size_t index) const {
  return index < items_.size() ? items_[index].get() : nullptr;
}

bool TSiteList::DeleteItem(size_t index) {
  return ExtractItem(index) != nullptr;
}

std::unique_ptr<TSiteRecord> TSiteList::ExtractItem(size_t index) {
  if (index >= items_.size()) return nullptr;
  std::unique_ptr<TSiteRecord> item = std::move(items_[index]);
  items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
  return item;
}

long TSiteList::IndexOf(const TSiteRecord* item) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].get() == item) return static_cast<long>(i);
  }
  return -1;
}

bool CredentialsGoTo(const TSiteList& channel, const std::string& address) {
  return channel.authsite.empty() || platform::SameOrigin(channel.authsite, address);
}

bool HoldCredentialsOnMove(TSiteList& channel, const std::string& oldAddress, const std::string& newAddress) {
  if (channel.authorize.empty()) return false;
  const std::string& site = channel.authsite.empty() ? oldAddress : channel.authsite;
  if (platform::SameOrigin(site, newAddress)) {
    channel.authsite.clear();
    return false;
  }
  const bool newlyHeld = channel.authsite.empty();
  channel.authsite = site;
  return newlyHeld;
}

}  // namespace store
