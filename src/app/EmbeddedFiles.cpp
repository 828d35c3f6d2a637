// SPDX-License-Identifier: MIT
#include "app/private/EmbeddedFiles.h"

namespace app {

const EmbeddedFile* FindEmbeddedFile(std::string_view name) {
  for (const EmbeddedFile& file : EmbeddedFiles()) {
    if (name == file.name) return &file;
  }
  return nullptr;
}

}  // namespace app
