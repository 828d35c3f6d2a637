// SPDX-License-Identifier: MIT
#include "text/Literal.h"

#include "platform/CodePage.h"

namespace text {

std::string J(std::string_view utf8) {
  std::string out;
  platform::Utf8ToCp932(utf8, platform::Unmappable::kCharRef, out);
  return out;
}

}  // namespace text
