// SPDX-License-Identifier: MIT
#include "settings/TMouseActionType.h"

#include "text/Literal.h"

namespace settings {

std::vector<TMouseActionType> BuiltInMouseActions() {
  return {
      {text::J("←"), 0},   {text::J("→"), 1},   {text::J("↑"), 5},   {text::J("↓"), 6},
      {text::J("←↑"), 20}, {text::J("←↓"), 23}, {text::J("→↑"), 13}, {text::J("→↓"), 25},
  };
}

}  // namespace settings
