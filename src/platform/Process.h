// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace platform {

// Starts other programs. Core code asks through this interface, so that its rules can be
// tested without starting anything.
class ProcessLauncher {
 public:
  virtual ~ProcessLauncher() = default;

  // Starts the program at `program` (a path: no search along PATH, and no shell, so the
  // arguments reach it exactly as given) with `arguments` after its own name. The program
  // runs on its own: it does not wait for us, keeps nothing of ours open and is not ended
  // with us. False when it could not be started (missing, not executable, no resources).
  virtual bool Start(const std::string& program, const std::vector<std::string>& arguments) = 0;
};

// The launcher of this system. Each start goes through a short-lived intermediate process
// that starts the program and ends at once; we collect the intermediate before Start
// returns and the program is adopted by the system's reaper, so no zombie of ours is left
// and no SIGCHLD handling is needed. The program gets a session of its own, /dev/null as
// its standard input, output and error, no other descriptor of ours, an empty signal mask
// and the default action for every signal.
std::unique_ptr<ProcessLauncher> MakeProcessLauncher();

// Whether another open file holds a lock (flock) on the file at `path`: the way to see
// that the program holding it is running. A missing or unreadable file is not locked. The
// test takes a shared lock for an instant and gives it back, so it never disturbs another
// tester; a program that takes its exclusive lock at that very instant will find it busy.
bool IsFileLocked(const std::string& path);

}  // namespace platform
