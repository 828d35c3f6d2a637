// SPDX-License-Identifier: MIT
#include "shell/private/TabCaption.h"

#include "shell/PageAddress.h"
#include "text/Cut.h"
#include "text/Literal.h"

namespace shell {

std::string PrepareTabCaption(std::string_view text) {
  std::string cut(text);
  if (text.size() > static_cast<size_t>(kTabCaptionBytes)) cut = text::LeftBytes(text, kTabCaptionBytes) + text::J("…");
  // A character reference ("&#128512;" for a character code page 932 cannot hold) is one
  // character and keeps its single "&".
  std::string caption;
  caption.reserve(cut.size());
  for (size_t pos = 0; pos < cut.size();) {
    const size_t length = text::CharLengthAt(cut, pos);
    if (length == 1 && cut[pos] == '&') caption += '&';
    caption.append(cut, pos, length);
    pos += length;
  }
  return caption;
}

std::string CaptionForTitle(std::string_view title) {
  if (IsSummaryAddress(title)) return std::string(kSummaryAddress);
  return PrepareTabCaption(title);
}

}  // namespace shell
