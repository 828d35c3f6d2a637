// SPDX-License-Identifier: MIT
#include "fetch/RunProgress.h"

#include "fetch/UpdateTexts.h"

namespace fetch {

void RunProgress::ShowChecking(const std::string& caption) {
  view_.ShowChecking(CheckingText(caption));
}

std::string RunProgress::TitleAfterRun(const std::string& programTitle) const {
  // A caption remembered while another run showed its own is no caption to go back to.
  return savedTitle_.empty() || savedTitle_ == UpdatingTitle() ? programTitle : savedTitle_;
}

void RunProgress::Summarise(const std::string& programTitle, int newItems, int alertMatches, int errors, bool cancelled,
                            bool keepList) {
  lastSummary_ = RunSummaryText(newItems, alertMatches, errors, cancelled, keepList);
  if (!lastSummary_.empty()) view_.ShowBalloon(programTitle, lastSummary_);
}

}  // namespace fetch
