// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

namespace formats {

// Where and why a document failed to load, as the parser reported it. The texts are code
// page 932 like every other text of the program; the update run shows them in the error
// log.
struct TParseError {
  int32_t ErrorCode = 0;  // 0 = the load succeeded
  int32_t Line = 0;
  int32_t LinePos = 0;
  int32_t FilePos = 0;  // byte offset in the document
  std::string Reason;
  std::string SrcText;  // the source line around the error
};

}  // namespace formats
