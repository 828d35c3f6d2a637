// SPDX-License-Identifier: MIT
#include "store/private/DuplicateKey.h"

#include "text/Compare.h"

namespace store {

std::string DuplicateKey(const TSiteRecord& item, int dupAction) {
  return dupAction == 1 ? item.title + item.link : item.link;
}

int CompareDuplicateKeys(const TSiteRecord& a, const TSiteRecord& b, int dupAction) {
  if (dupAction != 1) return text::CompareTextJ(a.link, b.link);
  return text::CompareTextJ(DuplicateKey(a, dupAction), DuplicateKey(b, dupAction));
}

}  // namespace store
