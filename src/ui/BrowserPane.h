// SPDX-License-Identifier: MIT
#pragma once

#include <QWebEngineView>
#include <string>

#include "present/OpenPage.h"
#include "present/PageRenderer.h"
#include "ui/HeadlineBrowserPane.h"

namespace ui {

// The browser pane of the main window: one web view. Until the generated headline pages
// exist, the summary of a headline is its own web page, and messages leave the pane blank.
class BrowserPane : public QWebEngineView,
                    public HeadlineBrowserPane,
                    public present::PageRenderer,
                    public present::OpenPage {
  Q_OBJECT

 public:
  explicit BrowserPane(QWidget* parent = nullptr);

  // HeadlineBrowserPane
  bool ShowsSummary() const override { return showsSummary_; }
  bool Busy() const override { return loading_; }
  bool ShowsPage(int64_t pageId) const override { return pageId != 0 && pageId == pageId_; }
  int ClientHeight() const override { return height(); }
  int ScrollTop() const override;
  void ScrollBy(int pixels) override;

  // present::PageRenderer
  void RenderSummaryPage(store::TSiteRecord& item) override;
  void RenderMessagePage(store::TTreeNodeExt* node) override;
  void RenderViewPage(present::PageState& page) override;
  bool PageNext(present::PageState& page) override;

  // present::OpenPage
  bool Open(const std::string& address) override;

 private:
  bool showsSummary_ = false;
  bool loading_ = false;
  int64_t pageId_ = 0;
};

}  // namespace ui
