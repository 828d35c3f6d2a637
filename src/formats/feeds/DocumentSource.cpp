// SPDX-License-Identifier: MIT
#include "formats/feeds/DocumentSource.h"

#include <string>

#include "platform/Files.h"
#include "text/Convert.h"

namespace formats {
namespace {

bool IsSchemeChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

bool StartsWithFileScheme(std::string_view address) {
  if (address.size() < 5) return false;
  for (size_t i = 0; i < 4; ++i) {
    if ((address[i] | 0x20) != "file"[i]) return false;
  }
  return address[4] == ':';
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string DecodePercent(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t pos = 0; pos < text.size(); ++pos) {
    if (text[pos] == '%' && pos + 2 < text.size() && HexValue(text[pos + 1]) >= 0 && HexValue(text[pos + 2]) >= 0) {
      out.push_back(static_cast<char>(HexValue(text[pos + 1]) * 16 + HexValue(text[pos + 2])));
      pos += 2;
    } else {
      out.push_back(text[pos]);
    }
  }
  return out;
}

}  // namespace

bool IsLocalFileAddress(std::string_view address) {
  if (StartsWithFileScheme(address)) return true;
  const size_t scheme = address.find("://");
  if (scheme == std::string_view::npos || scheme == 0) return true;
  for (size_t i = 0; i < scheme; ++i) {
    if (!IsSchemeChar(address[i])) return true;
  }
  return false;
}

std::string LocalFilePath(std::string_view address) {
  if (!StartsWithFileScheme(address)) return text::SjisToUtf8(address);
  std::string_view rest = address.substr(5);
  if (rest.starts_with("//")) {
    rest.remove_prefix(2);
    // The host of a file address is empty or "localhost"; the path starts at the next "/".
    const size_t slash = rest.find('/');
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
  }
  // The escapes stand for the bytes of the path as the address was written (UTF-8).
  return DecodePercent(text::SjisToUtf8(rest));
}

std::string SizeLimitCause(size_t limitBytes) {
  constexpr size_t kMiB = size_t{1024} * 1024;
  if (limitBytes != 0 && limitBytes % kMiB == 0)
    return "size limit " + std::to_string(limitBytes / kMiB) + " MiB exceeded";
  return "size limit " + std::to_string(limitBytes) + " bytes exceeded";
}

std::string NotRegularFileCause() {
  return "not a regular file";
}

FetchResult ReadLocalDocument(const std::string& path) {
  std::string bytes;
  switch (platform::ReadRegularFile(path, kMaxLocalDocumentBytes, bytes)) {
    case platform::DocumentRead::kOk:
      return FetchResult::Document(std::move(bytes));
    case platform::DocumentRead::kNotRegular:
      return FetchResult::Failed({}, NotRegularFileCause());
    case platform::DocumentRead::kTooLarge:
      return FetchResult::Failed({}, SizeLimitCause(kMaxLocalDocumentBytes));
    case platform::DocumentRead::kMissing:
    case platform::DocumentRead::kCannotRead:
      break;
  }
  return FetchResult::Failed();
}

FetchResult LocalFileSource::FetchDocument(const FetchRequest& request) {
  if (!IsLocalFileAddress(request.address)) return FetchResult::Failed();
  return ReadLocalDocument(LocalFilePath(request.address));
}

AddressCredentials SplitAddressCredentials(std::string_view address) {
  AddressCredentials split;
  split.address = address;
  const size_t scheme = address.find("://");
  if (scheme == std::string_view::npos || IsLocalFileAddress(address)) return split;
  const size_t hostStart = scheme + 3;
  // The user part ends at the last "@" before the path, the query or the fragment.
  const size_t authorityEnd = address.find_first_of("/?#", hostStart);
  const std::string_view authority = address.substr(hostStart, authorityEnd - hostStart);
  const size_t at = authority.rfind('@');
  if (at == std::string_view::npos) return split;
  const std::string_view userPart = authority.substr(0, at);
  const size_t colon = userPart.find(':');
  split.user = DecodePercent(userPart.substr(0, colon));
  if (colon != std::string_view::npos) split.password = DecodePercent(userPart.substr(colon + 1));
  split.address = std::string(address.substr(0, hostStart)) + std::string(address.substr(hostStart + at + 1));
  split.found = true;
  return split;
}

std::string WithoutCredentials(std::string_view address) {
  return SplitAddressCredentials(address).address;
}

}  // namespace formats
