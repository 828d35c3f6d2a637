// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace store {
class TSiteList;
class TTreeNodeExt;
struct TSiteRecord;
}  // namespace store

namespace present {

struct PageState;

// The pages of the browser pane that the headline list asks for: the summary page of one
// item, the message page of a node without rows, the page of several items in view mode.
class PageRenderer {
 public:
  virtual ~PageRenderer() = default;

  virtual void RenderSummaryPage(store::TSiteRecord& item) = 0;
  virtual void RenderMessagePage(store::TTreeNodeExt* node) = 0;
  virtual void RenderViewPage(PageState& page) = 0;

  // Moves the view-mode page one page on; false when it shows the last page already.
  virtual bool PageNext(PageState& page) = 0;

  // The address through the translation service when the channel asks for it.
  virtual std::string Translate(const std::string& address, const store::TSiteList* channel) {
    (void)channel;
    return address;
  }
};

}  // namespace present
