// SPDX-License-Identifier: MIT
#include "ui/BrowserPane.h"

#include <QUrl>
#include <QWebEnginePage>

#include "present/PageState.h"
#include "store/TSiteList.h"
#include "store/TSiteRecord.h"
#include "ui/QtText.h"

namespace ui {

BrowserPane::BrowserPane(QWidget* parent) : QWebEngineView(parent) {
  connect(this, &QWebEngineView::loadStarted, this, [this] { loading_ = true; });
  connect(this, &QWebEngineView::loadFinished, this, [this](bool) { loading_ = false; });
}

int BrowserPane::ScrollTop() const {
  return static_cast<int>(page()->scrollPosition().y());
}

void BrowserPane::ScrollBy(int pixels) {
  page()->runJavaScript(QStringLiteral("window.scrollBy(0, %1);").arg(pixels));
}

void BrowserPane::RenderSummaryPage(store::TSiteRecord& item) {
  // The headline's own page stands in for its summary page for now.
  showsSummary_ = true;
  setUrl(QUrl(ToQString(item.link)));
}

void BrowserPane::RenderMessagePage(store::TTreeNodeExt*) {
  showsSummary_ = true;
  setHtml(QString());
}

void BrowserPane::RenderViewPage(present::PageState& page) {
  pageId_ = page.PageId;
  showsSummary_ = true;
  setHtml(QString());
}

bool BrowserPane::PageNext(present::PageState&) {
  return false;
}

bool BrowserPane::Open(const std::string& address) {
  const QUrl url(ToQString(address));
  if (!url.isValid() || url.isEmpty()) return false;
  showsSummary_ = false;
  setUrl(url);
  return true;
}

}  // namespace ui
