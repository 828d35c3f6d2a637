// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <utility>

#include "fetch/UpdateRunView.h"

namespace fetch {

// What an update run shows of its progress: the channels done out of the pass's total,
// the channel being checked, the title and status text it found and gives back at its
// end, and the summary it ends with.
class RunProgress {
 public:
  explicit RunProgress(UpdateRunView& view) : view_(view) {}

  // A new pass or selection of `total` channels; nothing is shown yet.
  void Reset(int total) {
    done_ = 0;
    total_ = total;
  }
  void Show() { view_.ShowProgress(done_, total_); }
  // One channel more is done, fetched or skipped.
  void CountDone() {
    ++done_;
    Show();
  }
  // Fills the bar once every channel is done.
  void FinishWhenDone() {
    if (done_ >= total_) view_.FinishProgress();
  }
  int Done() const { return done_; }
  int Total() const { return total_; }

  // The status line while the run visits a channel or waits for one.
  void ShowChecking(const std::string& caption);

  // The title and status text the run found, to give back at its end.
  void KeepTitle(std::string title) { savedTitle_ = std::move(title); }
  void KeepStatusText() { savedStatus_ = view_.StatusText(); }
  void RestoreStatusText() { view_.SetStatusText(savedStatus_); }
  // The title to show after the run: the one it found, unless that was another run's.
  std::string TitleAfterRun(const std::string& programTitle) const;

  // Composes the summary of the run and shows it in a balloon when there is one.
  void Summarise(const std::string& programTitle, int newItems, int alertMatches, int errors, bool cancelled,
                 bool keepList);
  void ClearSummary() { lastSummary_.clear(); }
  // Empty when the latest run had nothing to say.
  const std::string& LastSummary() const { return lastSummary_; }

 private:
  UpdateRunView& view_;
  int done_ = 0;
  int total_ = 0;
  std::string savedTitle_;
  std::string savedStatus_;
  std::string lastSummary_;
};

}  // namespace fetch
