// SPDX-License-Identifier: MIT
#include "cli/ConsoleUpdateView.h"

#include "cli/Output.h"
#include "text/Convert.h"

namespace cli {

void ConsoleUpdateView::ShowProgress(int done, int total) {
  if (done == done_ && total == total_) return;
  done_ = done;
  total_ = total;
  // A plain log gets a line per channel checked, not per count.
  if (terminal_) Draw();
}

void ConsoleUpdateView::ShowChecking(const std::string& text) {
  if (text == checking_) return;
  checking_ = text;
  Draw();
}

void ConsoleUpdateView::Draw() {
  const std::string line = "[" + std::to_string(done_) + "/" + std::to_string(total_) + "]" + checking_;
  if (!terminal_) {
    if (line == lastPrinted_) return;
    lastPrinted_ = line;
    PrintLine(stream_, line);
    return;
  }
  // Back to the start of the line, the new text, and the rest of the old line cleared.
  WriteBytes(stream_, "\r");
  WriteBytes(stream_, text::SjisToUtf8(line));
  WriteBytes(stream_, "\x1b[K");
  std::fflush(stream_);
  lineOpen_ = true;
}

void ConsoleUpdateView::EndProgressLine() {
  if (!lineOpen_) return;
  WriteBytes(stream_, "\n");
  lineOpen_ = false;
}

}  // namespace cli
