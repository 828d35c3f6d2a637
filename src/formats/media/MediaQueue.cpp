// SPDX-License-Identifier: MIT
#include "formats/media/MediaQueue.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "platform/Ascii.h"

namespace formats {
namespace {

constexpr std::array<std::string_view, 7> kMediaExtensions = {"mp3", "m4a", "aac", "au", "wma", "mpeg", "mov"};

// The path part of an address: without query and fragment, and without scheme and host
// when it has them ("" when nothing follows the host).
std::string_view AddressPath(std::string_view address) {
  address = address.substr(0, address.find_first_of("?#"));
  const size_t scheme = address.find("://");
  if (scheme == std::string_view::npos) return address;
  const size_t pathStart = address.find('/', scheme + 3);
  return pathStart == std::string_view::npos ? std::string_view() : address.substr(pathStart);
}

}  // namespace

void MediaQueue::QueueMedia(std::string text) {
  std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
  if (text.empty()) return;
  entries_.push_front(std::move(text));
}

std::vector<std::string> MediaQueue::Take() {
  std::vector<std::string> taken(std::make_move_iterator(entries_.begin()), std::make_move_iterator(entries_.end()));
  entries_.clear();
  return taken;
}

bool IsMediaAddress(std::string_view address) {
  const std::string_view path = AddressPath(address);
  const size_t slash = path.find_last_of('/');
  const std::string_view fileName = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const size_t dot = fileName.find_last_of('.');
  if (dot == std::string_view::npos) return false;
  const std::string_view extension = fileName.substr(dot + 1);
  return std::any_of(kMediaExtensions.begin(), kMediaExtensions.end(),
                     [extension](std::string_view known) { return platform::EqualsAsciiNoCase(extension, known); });
}

}  // namespace formats
