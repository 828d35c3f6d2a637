// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

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

}  // namespace testsupport
