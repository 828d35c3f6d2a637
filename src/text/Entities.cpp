// SPDX-License-Identifier: MIT
#include "text/private/Entities.h"

namespace text {

std::string ReplaceEntity(std::string_view text, std::string_view entity, std::string_view replacement) {
  size_t at = text.find(entity);
  if (at == std::string_view::npos) return std::string(text);
  // What follows the "&" of the entity: after writing an "&", every directly following
  // copy of it completes one more entity with that "&".
  const std::string_view tail = entity.substr(1);
  const bool writesAmpersand = replacement == "&";
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (at != std::string_view::npos) {
    out.append(text.substr(pos, at - pos));
    out.append(replacement);
    pos = at + entity.size();
    if (writesAmpersand) {
      while (text.substr(pos, tail.size()) == tail) pos += tail.size();
    }
    at = text.find(entity, pos);
  }
  out.append(text.substr(pos));
  return out;
}

}  // namespace text
