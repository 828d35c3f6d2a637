// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace store {

// Where a writer's bytes go: a file, or memory for tests and for checks of a format.
class ByteSink {
 public:
  virtual ~ByteSink() = default;

  // Takes the bytes; false when they could not be stored.
  virtual bool Write(std::string_view bytes) = 0;
};

// Keeps everything in a string.
class StringSink : public ByteSink {
 public:
  bool Write(std::string_view bytes) override {
    bytes_.append(bytes);
    return true;
  }
  const std::string& Bytes() const { return bytes_; }
  std::string& Bytes() { return bytes_; }

 private:
  std::string bytes_;
};

}  // namespace store
