// SPDX-License-Identifier: MIT
#pragma once

#include <cstdio>
#include <string>

#include "fetch/UpdateRunView.h"

namespace cli {

// The progress of an update run on the standard error stream: the channels handled of
// the channels to handle, and the channel being checked. On a terminal it is one line,
// redrawn in place; otherwise each new channel gets a plain line of its own.
class ConsoleUpdateView : public fetch::UpdateRunView {
 public:
  ConsoleUpdateView(std::FILE* stream, bool terminal) : stream_(stream), terminal_(terminal) {}

  void ShowProgress(int done, int total) override;
  void ShowChecking(const std::string& text) override;

  // Ends the redrawn line, so that what is printed next starts on a line of its own.
  void EndProgressLine();

 private:
  void Draw();

  std::FILE* stream_;
  bool terminal_;
  bool lineOpen_ = false;
  int done_ = 0;
  int total_ = 0;
  std::string checking_;  // code page 932
  std::string lastPrinted_;
};

}  // namespace cli
