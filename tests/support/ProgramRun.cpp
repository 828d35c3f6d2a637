// SPDX-License-Identifier: MIT
#include "support/ProgramRun.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace testsupport {

StartedProgram::StartedProgram(const std::string& program, const std::vector<std::string>& arguments,
                               const std::optional<std::string>& input) {
  const std::string outPath = outputs_ / "out";
  const std::string errPath = outputs_ / "err";
  const std::string inPath = input ? outputs_ / "in" : std::string("/dev/null");
  if (input) WriteFile(inPath, *input);
  std::vector<std::string> words{program};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string variable = *entry;
    const std::string name = variable.substr(0, variable.find('='));
    if (name.ends_with("_proxy") || name.ends_with("_PROXY")) continue;
    envp.push_back(*entry);
  }
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, inPath.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) {
    pid_ = 0;
    ADD_FAILURE() << "cannot start " << program;
  }
  posix_spawn_file_actions_destroy(&actions);
}

StartedProgram::~StartedProgram() {
  if (pid_ != 0) Wait();
}

ProgramRun StartedProgram::Wait() {
  ProgramRun run;
  if (pid_ == 0) return run;
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = 0;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = ReadFile(outputs_ / "out");
  run.err = ReadFile(outputs_ / "err");
  return run;
}

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments) {
  return StartedProgram(program, arguments).Wait();
}

ProgramRun RunProgramWithInput(const std::string& program, const std::vector<std::string>& arguments,
                               const std::string& input) {
  return StartedProgram(program, arguments, input).Wait();
}

}  // namespace testsupport
