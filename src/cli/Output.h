// SPDX-License-Identifier: MIT
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

// What plover-cli prints. The program's texts are code page 932; the terminal gets UTF-8.
namespace cli {

// Prints a code page 932 text as UTF-8, with a line end.
void PrintLine(std::FILE* stream, const std::string& sjis);

// Writes bytes as they are.
void WriteBytes(std::FILE* stream, std::string_view bytes);

// A path (native UTF-8) as part of a code page 932 message.
std::string PathText(const std::string& path);

}  // namespace cli
