// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace store {

// A file opened for writing, closed when the object goes. Writes go straight to the
// system (no buffer of our own), so what was written survives a crash of the program;
// Sync puts it on the disk.
class OutputFile {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile() { Close(); }

  // Creates the file, or empties an existing one. False when it cannot be opened.
  bool Create(const std::string& path);

  bool IsOpen() const { return fd_ >= 0; }

  // Appends all the bytes; false when any could not be written.
  bool Write(std::string_view bytes);

  // Writes the bytes at `offset` without moving the append position.
  bool WriteAt(uint64_t offset, std::string_view bytes);

  // Flushes the file's data to the disk.
  bool Sync();

  // Closes the file; false when the system reported an error on closing.
  bool Close();

 private:
  int fd_ = -1;
};

}  // namespace store
