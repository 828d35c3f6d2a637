// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace app {

// A file compiled into the program from the data folder of the sources.
struct EmbeddedFile {
  const char* name;  // the file's name, like "xml.png"
  const unsigned char* data;
  size_t size;

  std::string_view Bytes() const { return {reinterpret_cast<const char*>(data), size}; }
};

// Every embedded file (the table is generated at build time).
std::span<const EmbeddedFile> EmbeddedFiles();

// The embedded file of that name, or nullptr.
const EmbeddedFile* FindEmbeddedFile(std::string_view name);

}  // namespace app
