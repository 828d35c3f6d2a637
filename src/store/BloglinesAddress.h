// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

// The addresses of the Bloglines service's programming interface. Every test compares a
// prefix exactly, letter case included, and answers false while Bloglines
// synchronisation is off, so a channel whose address merely looks like one is treated as
// an ordinary feed then.
namespace store {

inline constexpr std::string_view kBloglinesServiceBase = "http://rpc.bloglines.com/";
inline constexpr std::string_view kBloglinesItemPath = "getitems?s=";
inline constexpr std::string_view kBloglinesListPath = "listsubs";

inline bool IsBloglinesAddress(std::string_view address, bool bloglinesSync) {
  return bloglinesSync && address.starts_with(kBloglinesServiceBase);
}

inline bool IsBloglinesItemAddress(std::string_view address, bool bloglinesSync) {
  return IsBloglinesAddress(address, bloglinesSync) &&
         address.substr(kBloglinesServiceBase.size()).starts_with(kBloglinesItemPath);
}

inline bool IsBloglinesListAddress(std::string_view address, bool bloglinesSync) {
  return IsBloglinesAddress(address, bloglinesSync) &&
         address.substr(kBloglinesServiceBase.size()).starts_with(kBloglinesListPath);
}

}  // namespace store
