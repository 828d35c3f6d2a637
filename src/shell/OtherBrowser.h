// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

#include "platform/Process.h"

namespace shell {

// The browser outside the program that addresses go to when the user or the view mode
// asks for it: the desktop's default browser through xdg-open, or a browser program the
// user named.
class OtherBrowser {
 public:
  // The program that opens addresses in the desktop's default browser.
  static constexpr const char* kDesktopOpener = "xdg-open";

  // `searchPath` is the list of folders, separated by ":", where a program given by its
  // name alone is looked for (the PATH of the program's environment).
  OtherBrowser(platform::ProcessLauncher& launcher, std::string searchPath)
      : launcher_(launcher), searchPath_(std::move(searchPath)) {}

  // The browser the user named: a path, or a name looked for along the search path
  // (native file-system text). Empty for the desktop's default browser.
  void SetProgram(std::string program) { program_ = std::move(program); }
  const std::string& Program() const { return program_; }

  // Opens the address (code page 932). False when the address is refused or no program
  // could be started. The desktop's opener hands anything but a web address to whatever
  // program the desktop associates with it, which may run it, so it only gets "http:",
  // "https:" and "ftp:" addresses; a named browser gets any address. An address that
  // starts with "-" is refused: the program would take it for an option.
  bool Open(const std::string& address);

  // Opens a saved web archive (".mht", a file address or an absolute path) that the
  // program found for an address.
  bool OpenOfflineCopy(const std::string& copy);

  // The program to start: the path of the named browser or of the desktop's opener, or
  // nothing when it is not found.
  std::optional<std::string> ProgramPath() const;

 private:
  bool Start(const std::string& address);

  platform::ProcessLauncher& launcher_;
  std::string searchPath_;
  std::string program_;
};

}  // namespace shell
