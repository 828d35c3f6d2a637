// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace text {

// The program's own texts are written in UTF-8 in the sources and used as code page 932,
// like every other text inside the program: J("ヘッドライン").
std::string J(std::string_view utf8);

}  // namespace text
