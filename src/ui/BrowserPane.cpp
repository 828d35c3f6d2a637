// SPDX-License-Identifier: MIT
#include "ui/BrowserPane.h"

#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonValue>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineView>

#include "app/ViewModes.h"
#include "settings/Settings.h"
#include "shell/BrowserTabs.h"
#include "ui/PageScheme.h"
#include "ui/QtText.h"
#include "ui/WebTabs.h"

namespace ui {
namespace {

// A text as a script's string literal.
QString ScriptString(const std::string& text) {
  const QByteArray json = QJsonDocument::fromVariant(QVariantList{ToQString(text)}).toJson(QJsonDocument::Compact);
  return QString::fromUtf8(json.mid(1, json.size() - 2));
}

}  // namespace

BrowserPane::BrowserPane(QWebEngineProfile& profile, const settings::Settings& settings,
                         const std::string& systemFolder, QWidget* parent)
    : QWidget(parent), settings_(settings) {
  handler_ = new PageSchemeHandler(systemFolder, this);
  profile.installUrlSchemeHandler(kPageScheme, handler_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  tabs_ = new WebTabs(profile, settings, this);
  layout->addWidget(tabs_);
}

BrowserPane::~BrowserPane() {
  // The views go before the scheme's handler and the profile.
  if (tabList_ != nullptr) tabList_->Shutdown();
}

void BrowserPane::Attach(shell::BrowserTabs& tabs, present::PageDisplay& display) {
  tabList_ = &tabs;
  display_ = &display;
  tabs_->SetTabs(&tabs);
}

void BrowserPane::CloseAllTabs() {
  if (tabList_ != nullptr) tabList_->Shutdown();
}

bool BrowserPane::TreeHasFocus() const {
  return tree_ != nullptr && tree_->hasFocus();
}

void BrowserPane::LeaveListMode() {
  if (settings_.FormViewMode == app::kListMode) emit ListModeLeft();
}

QWebEngineView* BrowserPane::ActiveView() const {
  return tabs_->ActiveView();
}

bool BrowserPane::ShowsSummary() const {
  return tabList_ != nullptr && tabList_->ShowsSummary(tabList_->ActiveView());
}

bool BrowserPane::Busy() const {
  return tabList_ != nullptr && tabs_->Loading(tabList_->ActiveView());
}

bool BrowserPane::ShowsPage(int64_t pageId) const {
  return display_ != nullptr && display_->ShowsPage(pageId);
}

int BrowserPane::ClientHeight() const {
  const QWebEngineView* view = ActiveView();
  return view != nullptr ? view->height() : 0;
}

int BrowserPane::ScrollTop() const {
  const QWebEngineView* view = ActiveView();
  return view != nullptr ? static_cast<int>(view->page()->scrollPosition().y()) : 0;
}

void BrowserPane::ScrollBy(int pixels) {
  if (QWebEngineView* view = ActiveView()) {
    view->page()->runJavaScript(QStringLiteral("window.scrollBy(0, %1);").arg(pixels),
                                QWebEngineScript::ApplicationWorld);
  }
}

void BrowserPane::ServeSummaryPage(const std::string& html) {
  handler_->SetPage(QStringLiteral("/summary"), ToQString(html).toUtf8());
}

bool BrowserPane::ShiftHeld() const {
  return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
}

bool BrowserPane::CtrlHeld() const {
  return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
}

bool BrowserPane::AltHeld() const {
  return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::AltModifier);
}

void BrowserPane::SetPageImage(const std::string& name, const std::string& only, const std::string& source) {
  QWebEngineView* view = ActiveView();
  if (view == nullptr) return;
  // Run in the program's own world: it works with the page's scripts switched off, and
  // the page cannot fool it.
  const QString script = QStringLiteral(
                             "(function(n,o,s){var list=document.getElementsByName(n);"
                             "for(var i=0;i<list.length;i++){var e=list[i];"
                             "if(e.tagName=='IMG'&&(o==''||e.src.indexOf(o)>=0))e.src=s;}})(%1,%2,%3);")
                             .arg(ScriptString(name), ScriptString(only), ScriptString(source));
  view->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld);
}

void BrowserPane::OpenOptionMenu(store::TSiteRecord& item) {
  emit OptionMenuRequested(&item);
}

std::vector<std::string> BrowserPane::DiscoveredFeeds(shell::ViewId view) const {
  return tabList_ != nullptr ? tabList_->FoundFeeds(view) : std::vector<std::string>{};
}

void BrowserPane::OpenAddChannel(const std::string& address) {
  emit AddChannelRequested(ToQString(address));
}

}  // namespace ui
