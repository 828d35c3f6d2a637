// SPDX-License-Identifier: MIT
#include "fetch/private/HttpRules.h"

#include <algorithm>
#include <cstdint>

#include "platform/Ascii.h"
#include "text/Cut.h"
#include "text/Literal.h"

namespace fetch {
namespace {

constexpr std::string_view kBase64Alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::string_view kLastModifiedName = "Last-Modified:";

struct StatusMeaning {
  int status;
  std::string_view meaning;
};

// The meanings of the statuses a server may answer a GET with. The server's own reason
// phrase is not repeated: it may say anything.
constexpr StatusMeaning kStatusMeanings[] = {
    {200, "OK"},
    {201, "Created"},
    {202, "Accepted"},
    {203, "Non-Authoritative Information"},
    {204, "No Content"},
    {205, "Reset Content"},
    {206, "Partial Content"},
    {300, "Multiple Choices"},
    {301, "Moved Permanently"},
    {302, "Found"},
    {303, "See Other"},
    {304, "Not Modified"},
    {305, "Use Proxy"},
    {307, "Temporary Redirect"},
    {308, "Permanent Redirect"},
    {400, "Bad Request"},
    {401, "Unauthorized"},
    {402, "Payment Required"},
    {403, "Forbidden"},
    {404, "Not Found"},
    {405, "Method Not Allowed"},
    {406, "Not Acceptable"},
    {407, "Proxy Authentication Required"},
    {408, "Request Timeout"},
    {409, "Conflict"},
    {410, "Gone"},
    {411, "Length Required"},
    {412, "Precondition Failed"},
    {413, "Content Too Large"},
    {414, "URI Too Long"},
    {415, "Unsupported Media Type"},
    {416, "Range Not Satisfiable"},
    {417, "Expectation Failed"},
    {421, "Misdirected Request"},
    {422, "Unprocessable Content"},
    {425, "Too Early"},
    {426, "Upgrade Required"},
    {428, "Precondition Required"},
    {429, "Too Many Requests"},
    {431, "Request Header Fields Too Large"},
    {451, "Unavailable For Legal Reasons"},
    {500, "Internal Server Error"},
    {501, "Not Implemented"},
    {502, "Bad Gateway"},
    {503, "Service Unavailable"},
    {504, "Gateway Timeout"},
    {505, "HTTP Version Not Supported"},
    {507, "Insufficient Storage"},
    {508, "Loop Detected"},
    {511, "Network Authentication Required"},
};

// A length of time as the settings give it: whole seconds, or milliseconds otherwise.
std::string Duration(int64_t ms) {
  return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

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

std::string StatusCause(int status) {
  for (const StatusMeaning& known : kStatusMeanings) {
    if (known.status == status) return std::to_string(status) + " " + std::string(known.meaning);
  }
  return "HTTP " + std::to_string(status);
}

std::string TooManyRedirectsCause() {
  return "too many redirects";
}

std::string SilenceCause(int64_t timeoutMs) {
  return "no data for " + Duration(timeoutMs);
}

std::string DeadlineCause(int64_t timeoutMs) {
  return "time limit " + Duration(timeoutMs) + " exceeded";
}

std::string GivenUpCause(int64_t timeoutMs) {
  return "no answer within " + Duration(timeoutMs);
}

}  // namespace fetch
