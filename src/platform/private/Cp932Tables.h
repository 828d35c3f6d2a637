// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace platform {

// Code page 932 as Windows has it, generated at build time from glibc iconv.
// kCp932Decode is indexed by a single byte (0..255) or by lead << 8 | trail and gives
// the UTF-16 code unit, 0 where nothing is defined. kCp932Encode is indexed by a BMP
// character and gives the code (a single byte or lead << 8 | trail), 0 where code page
// 932 has no exact code for it.
extern const uint16_t kCp932Decode[65536];
extern const uint16_t kCp932Encode[65536];

}  // namespace platform
