// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace present {

// The marker character that stands for every "$" of a prepared page template, so that a
// placeholder is its name between two of them.
inline constexpr char kPlaceholderMarker = '\x01';

// The current style split into what a page is filled from: the page template with the
// item blocks replaced by their kind markers and the channel header block removed, the
// blocks themselves, the marker that stands for each item kind in the template, and the
// CSS with its path placeholders filled. Every text is code page 932, every "$" of the
// template already the marker character.
struct PreparedStyle {
  std::string Name;          // the style's name, e.g. "Simple"
  std::string PageTemplate;  // the whole page around the item blocks
  std::string Css;
  std::string HeaderBlock;   // the channel header between channel groups of a view-mode page
  std::string DefaultBlock;  // a selected headline, or a message
  std::string SingleBlock;   // a view-mode page of one entry, a view-mode message
  std::string MultiBlock;    // each item of a view-mode page
  std::string DefaultMarker;
  std::string SingleMarker;
  std::string MultiMarker;
};

// Where the pages get the current style from: loaded and prepared on first use, and
// again after another style was chosen.
class StyleSource {
 public:
  virtual ~StyleSource() = default;
  virtual const PreparedStyle& CurrentStyle() = 0;
};

}  // namespace present
