// SPDX-License-Identifier: MIT
#include "cli/Output.h"

#include "text/Convert.h"

namespace cli {

void PrintLine(std::FILE* stream, const std::string& sjis) {
  WriteBytes(stream, text::SjisToUtf8(sjis));
  std::fputc('\n', stream);
}

void WriteBytes(std::FILE* stream, std::string_view bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stream);
}

std::string PathText(const std::string& path) {
  const std::string converted = text::Utf8ToSjis(path);
  return converted.empty() ? path : converted;
}

}  // namespace cli
