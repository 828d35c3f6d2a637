// SPDX-License-Identifier: MIT
#include "fetch/HttpRules.h"

#include <algorithm>
#include <cstdint>

#include "platform/Ascii.h"
#include "text/Cut.h"
#include "text/Literal.h"

namespace fetch {
namespace {

constexpr std::string_view kBase64Alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::string_view kLastModifiedName = "Last-Modified:";

}  // namespace

std::string EncodeBase64(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t pos = 0; pos < bytes.size(); pos += 3) {
    const size_t count = std::min<size_t>(3, bytes.size() - pos);
    uint32_t group = 0;
    for (size_t i = 0; i < 3; ++i) {
      const uint32_t byte = i < count ? static_cast<unsigned char>(bytes[pos + i]) : 0;
      group = group << 8 | byte;
    }
    for (size_t i = 0; i < 4; ++i) {
      out.push_back(i <= count ? kBase64Alphabet[(group >> (18 - 6 * i)) & 0x3F] : '=');
    }
  }
  return out;
}

std::string BuildRequestHeaders(std::string_view lastModified, std::string_view authorization) {
  std::string block;
  if (!lastModified.empty()) {
    block += "If-Modified-Since: ";
    block += lastModified;
    block += "\r\n";
  }
  if (!authorization.empty()) {
    block += "Authorization: Basic ";
    block += EncodeBase64(authorization);
  }
  if (!block.empty()) block.insert(0, "Accept:*/*\r\n");
  return block;
}

std::vector<std::string> HeaderLines(std::string_view block) {
  std::vector<std::string> lines;
  while (!block.empty()) {
    const size_t end = block.find("\r\n");
    const std::string_view line = block.substr(0, end);
    std::string clean;
    for (const char c : line) {
      if (c != '\r' && c != '\n') clean.push_back(c);
    }
    if (!clean.empty()) lines.push_back(std::move(clean));
    if (end == std::string_view::npos) break;
    block.remove_prefix(end + 2);
  }
  return lines;
}

std::string ExtractLastModified(std::string_view rawHeaders) {
  while (!rawHeaders.empty()) {
    const size_t end = rawHeaders.find_first_of("\r\n");
    const std::string_view line = rawHeaders.substr(0, end);
    if (platform::StartsWithAsciiNoCase(line, kLastModifiedName))
      return text::TrimJ(line.substr(kLastModifiedName.size()));
    if (end == std::string_view::npos) break;
    rawHeaders.remove_prefix(end + 1);
  }
  return {};
}

std::string NotInitializedMessage() {
  return text::J("WinInetが初期化されていません。");
}

std::string OpenFailedMessage() {
  return text::J("URLを開くことができませんでした。");
}

std::string DownloadFailedMessage() {
  return text::J("ダウンロード中にエラーが発生しました。");
}

}  // namespace fetch
