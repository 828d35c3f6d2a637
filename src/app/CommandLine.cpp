// SPDX-License-Identifier: MIT
#include "app/CommandLine.h"

#include <string_view>

namespace app {
namespace {

std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

struct ModeSwitch {
  const char* argument;
  int viewMode;
};

constexpr ModeSwitch kModeSwitches[] = {{"-r", 1}, {"-l", 2}, {"-b", 3}, {"-s", 4}};

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine result;
  // The program's own path is left out: on this system every path is full of slashes, and
  // a program kept in a folder named "update" must not start as if "/update" were given.
  std::string whole;
  for (const std::string& argument : arguments) {
    whole += AsciiLower(argument);
    whole += ' ';
  }
  auto contains = [&whole](std::string_view switchText) { return whole.find(switchText) != std::string::npos; };
  result.Startup = contains("/startup");
  result.Update = contains("/update");
  result.NoInstall = contains("/noinstall");
  result.NoInstallAdmin = contains("/noinstalladmin");

  for (const std::string& argument : arguments) {
    const std::string lower = AsciiLower(argument);
    for (const ModeSwitch& mode : kModeSwitches) {
      if (lower == mode.argument) {
        result.ViewMode = mode.viewMode;
        return result;
      }
    }
  }
  return result;
}

}  // namespace app
