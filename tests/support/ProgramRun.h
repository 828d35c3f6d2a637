// SPDX-License-Identifier: MIT
#pragma once

#include <sys/types.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace testsupport {

// What a program run by a test printed and how it ended.
struct ProgramRun {
  int status = -1;  // the exit status; -1 when it did not exit normally or did not start
  std::string out;
  std::string err;
};

// Runs `program` with `arguments`, its input from /dev/null (no terminal) and without
// the proxy variables of the environment (the servers of the tests are right here), and
// collects what it printed.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments);

// The same with `input` as the program's standard input: a file, so still no terminal.
ProgramRun RunProgramWithInput(const std::string& program, const std::vector<std::string>& arguments,
                               const std::string& input);

// The same, started in the background: the test may signal the program while it runs.
class StartedProgram {
 public:
  // Without `input` the standard input is /dev/null.
  StartedProgram(const std::string& program, const std::vector<std::string>& arguments,
                 const std::optional<std::string>& input = std::nullopt);
  StartedProgram(const StartedProgram&) = delete;
  StartedProgram& operator=(const StartedProgram&) = delete;
  ~StartedProgram();  // waits for a program that was not waited for

  pid_t Pid() const { return pid_; }
  // Waits for the program to end.
  ProgramRun Wait();

 private:
  TempDir outputs_;
  pid_t pid_ = 0;
};

}  // namespace testsupport
