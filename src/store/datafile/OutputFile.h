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

  // Creates the file, or empties an existing one, readable and writable by the user
  // alone (0600). False when it cannot be opened.
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

  // The system's error number of the first write, flush or close that failed (ENOSPC for
  // a full disk); 0 while none did.
  int FirstError() const { return error_; }

 private:
  // Keeps the error number of the first failure; always false.
  bool Failed();

  int fd_ = -1;
  int error_ = 0;
};

}  // namespace store
