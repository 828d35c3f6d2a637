// SPDX-License-Identifier: MIT
#pragma once

#include <stdexcept>
#include <string>

namespace cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// A command that cannot go on. Its message (code page 932) is printed on the standard
// error stream, followed by the command's usage for a usage error, and the program ends
// with the exit status.
class CommandError : public std::runtime_error {
 public:
  explicit CommandError(const std::string& message, int exitStatus = kExitFailed)
      : std::runtime_error(message), exitStatus_(exitStatus) {}

  int ExitStatus() const { return exitStatus_; }

 private:
  int exitStatus_;
};

}  // namespace cli
