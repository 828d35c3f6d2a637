// SPDX-License-Identifier: MIT
#include "ui/WebTabs.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QStackedWidget>
#include <QStyle>
#include <QTabBar>
#include <QVBoxLayout>
#include <QVariant>
#include <QWebEngineHistory>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

#include "shell/BrowserTabs.h"
#include "shell/PageAddress.h"
#include "shell/ViewSecurity.h"
#include "ui/QtText.h"

namespace ui {
namespace {

constexpr char kViewProperty[] = "ploverView";

// Addresses a web view may go to by itself. Any other scheme would be handed to an
// outside program by the engine; the tab list gets it first and it never goes further.
bool WebScheme(const QUrl& url) {
  const QString scheme = url.scheme().toLower();
  return scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("ftp") ||
         scheme == QLatin1String("plover") || scheme == QLatin1String("about") || scheme == QLatin1String("data") ||
         scheme == QLatin1String("file");
}

// Every address leaves a view in the same form, so that comparisons hold.
std::string AddressOf(const QUrl& url) {
  return FromQString(QString::fromUtf8(url.toEncoded()));
}

QUrl UrlOf(const std::string& address) {
  const QString text = ToQString(address).trimmed();
  QUrl url(text, QUrl::TolerantMode);
  if (url.scheme().isEmpty()) url = QUrl::fromUserInput(text);
  return url;
}

// Reads what a loaded page offers in feeds: its first link elements (name, markup and the
// attributes as written), the hrefs of its base elements as written and the addresses of
// its anchors as the page resolves them. It runs in the program's own world, so the
// page's scripts can neither see nor change it, and it works with scripts switched off.
const QString kFeedElementsScript = QStringLiteral(
    "(function(max){"
    "function take(name,read){var list=document.getElementsByTagName(name),out=[];"
    "for(var i=0;i<list.length&&i<max;i++)out.push(read(list[i]));return out;}"
    "function attr(e,n){var v=e.getAttribute(n);return v===null?'':v;}"
    "return {links:take('link',function(e){return [e.tagName.toLowerCase(),e.outerHTML,attr(e,'href'),"
    "attr(e,'rel'),attr(e,'type')];}),"
    "bases:take('base',function(e){return attr(e,'href');}),"
    "anchors:take('a',function(e){return e.href||attr(e,'href');})};})(%1)");

std::vector<std::string> TextsOf(const QVariant& value) {
  std::vector<std::string> texts;
  for (const QVariant& entry : value.toList()) texts.push_back(FromQString(entry.toString()));
  return texts;
}

shell::LoadedPage LoadedPageOf(const std::string& address, const QVariant& found) {
  shell::LoadedPage page;
  page.address = address;
  const QVariantMap map = found.toMap();
  for (const QVariant& entry : map.value(QStringLiteral("links")).toList()) {
    const std::vector<std::string> parts = TextsOf(entry);
    if (parts.size() != 5) continue;
    page.links.push_back({parts[0], parts[1], parts[2], parts[3], parts[4]});
  }
  page.baseHrefs = TextsOf(map.value(QStringLiteral("bases")));
  page.anchorHrefs = TextsOf(map.value(QStringLiteral("anchors")));
  return page;
}

shell::NavigationKind KindOf(QWebEnginePage::NavigationType type) {
  switch (type) {
    case QWebEnginePage::NavigationTypeLinkClicked:
      return shell::NavigationKind::kLinkClicked;
    case QWebEnginePage::NavigationTypeTyped:
      return shell::NavigationKind::kTyped;
    case QWebEnginePage::NavigationTypeFormSubmitted:
      return shell::NavigationKind::kFormSubmitted;
    case QWebEnginePage::NavigationTypeBackForward:
      return shell::NavigationKind::kBackForward;
    case QWebEnginePage::NavigationTypeReload:
      return shell::NavigationKind::kReload;
    case QWebEnginePage::NavigationTypeRedirect:
      return shell::NavigationKind::kRedirect;
    default:
      return shell::NavigationKind::kOther;
  }
}

// Blocks what the view's security options forbid and the navigation hooks cannot see:
// frames, audio and video, plug-in objects.
class SecurityInterceptor : public QWebEngineUrlRequestInterceptor {
 public:
  using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
  void SetSecurity(const shell::ViewSecurity& security) { security_ = security; }

  void interceptRequest(QWebEngineUrlRequestInfo& info) override {
    switch (info.resourceType()) {
      case QWebEngineUrlRequestInfo::ResourceTypeSubFrame:
        if (!security_.Frames) info.block(true);
        break;
      case QWebEngineUrlRequestInfo::ResourceTypeMedia:
        if (!security_.Video || !security_.Sound) info.block(true);
        break;
      case QWebEngineUrlRequestInfo::ResourceTypeObject:
      case QWebEngineUrlRequestInfo::ResourceTypePluginResource:
        if (!security_.Scripts) info.block(true);
        break;
      case QWebEngineUrlRequestInfo::ResourceTypeImage:
        if (!security_.Images) info.block(true);
        break;
      default:
        break;
    }
  }

 private:
  shell::ViewSecurity security_;
};

}  // namespace

// One tab's page: every main-frame navigation and every new window goes through the tab
// list first.
class WebPage : public QWebEnginePage {
 public:
  WebPage(QWebEngineProfile& profile, shell::ViewId view, QObject* parent)
      : QWebEnginePage(&profile, parent), view_(view), interceptor_(this) {
    setUrlRequestInterceptor(&interceptor_);
  }

  void SetTabs(shell::BrowserTabs* tabs) { tabs_ = tabs; }
  void Detach() { tabs_ = nullptr; }
  void SetSecurity(const shell::ViewSecurity& security) {
    interceptor_.SetSecurity(security);
    settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, security.Scripts);
    settings()->setAttribute(QWebEngineSettings::PluginsEnabled, security.Scripts);
    settings()->setAttribute(QWebEngineSettings::AutoLoadImages, security.Images);
  }

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
    if (!isMainFrame) return WebScheme(url);
    if (tabs_ == nullptr) return false;
    const bool user =
        type == NavigationTypeLinkClicked || type == NavigationTypeFormSubmitted || type == NavigationTypeBackForward;
    const bool goOn = tabs_->BeforeNavigate(view_, AddressOf(url), KindOf(type), user);
    return goOn && WebScheme(url);
  }

 private:
  shell::ViewId view_;
  shell::BrowserTabs* tabs_ = nullptr;
  SecurityInterceptor interceptor_;
};

WebTabs::WebTabs(QWebEngineProfile& profile, const settings::Settings& settings, QWidget* parent)
    : QWidget(parent), profile_(profile), settings_(settings) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  bar_ = new QTabBar(this);
  bar_->setDocumentMode(true);
  bar_->setMovable(true);
  bar_->setElideMode(Qt::ElideNone);
  bar_->setVisible(false);
  stack_ = new QStackedWidget(this);
  layout->addWidget(bar_);
  layout->addWidget(stack_, 1);
  connect(bar_, &QTabBar::tabBarClicked, this, [this](int index) {
    const Qt::MouseButtons buttons = QGuiApplication::mouseButtons();
    TabBarClicked(index,
                  buttons.testFlag(Qt::MiddleButton)  ? Qt::MiddleButton
                  : buttons.testFlag(Qt::RightButton) ? Qt::RightButton
                                                      : Qt::LeftButton,
                  false);
  });
  connect(bar_, &QTabBar::tabBarDoubleClicked, this, [this](int index) { TabBarClicked(index, Qt::LeftButton, true); });
  // Qt moves a dragged tab itself; the tab list then moves its entry the same way.
  connect(bar_, &QTabBar::tabMoved, this, [this](int from, int to) {
    if (tabs_ == nullptr) return;
    draggedMove_ = true;
    tabs_->MoveTab(from, to);
    draggedMove_ = false;
  });
}

WebTabs::~WebTabs() {
  // The pages go before the profile they belong to.
  for (auto& [view, widget] : views_) delete widget;
}

void WebTabs::TabBarClicked(int index, Qt::MouseButton button, bool doubleClick) {
  if (tabs_ == nullptr || index < 0) return;
  const Qt::KeyboardModifiers keys = QGuiApplication::keyboardModifiers();
  shell::TabClick click = doubleClick                  ? shell::TabClick::kLeftDouble
                          : button == Qt::MiddleButton ? shell::TabClick::kMiddle
                          : button == Qt::RightButton  ? shell::TabClick::kRight
                                                       : shell::TabClick::kLeft;
  tabs_->TabClicked(index, click, keys.testFlag(Qt::ShiftModifier), keys.testFlag(Qt::ControlModifier));
}

QWebEngineView* WebTabs::View(shell::ViewId view) const {
  const auto found = views_.find(view);
  return found != views_.end() ? found->second.data() : nullptr;
}

QWebEngineView* WebTabs::ActiveView() const {
  return tabs_ != nullptr ? View(tabs_->ActiveView()) : nullptr;
}

void WebTabs::CreateView(shell::ViewId view) {
  auto* widget = new QWebEngineView(stack_);
  auto* page = new WebPage(profile_, view, widget);
  widget->setPage(page);
  widget->setProperty(kViewProperty, QVariant::fromValue<qint64>(view));
  // Command addresses reach the navigation hook on every click only under this policy.
  page->settings()->setUnknownUrlSchemePolicy(QWebEngineSettings::AllowAllUnknownUrlSchemes);
  stack_->addWidget(widget);
  views_[view] = widget;
  BindEvents(view, page);
  ApplySecurityOptions(view);
}

void WebTabs::BindEvents(shell::ViewId view, WebPage* page) {
  page->SetTabs(tabs_);
  connect(page, &QWebEnginePage::newWindowRequested, this, [this, view](QWebEngineNewWindowRequest& request) {
    if (tabs_ == nullptr) return;
    const shell::ViewId target =
        tabs_->NewWindowRequested(view, AddressOf(request.requestedUrl()), request.isUserInitiated());
    if (QWebEngineView* widget = View(target)) request.openIn(widget->page());
  });
  connect(page, &QWebEnginePage::windowCloseRequested, this, [this, view] {
    if (tabs_ != nullptr) tabs_->WindowCloseRequested(view);
  });
  connect(page, &QWebEnginePage::titleChanged, this, [this, view](const QString& title) {
    if (tabs_ != nullptr) tabs_->TitleChanged(view, FromQString(title));
  });
  connect(page, &QWebEnginePage::loadStarted, this, [this, view] {
    loading_.insert(view);
    if (tabs_ != nullptr) tabs_->LoadStarted(view);
  });
  connect(page, &QWebEnginePage::loadFinished, this, [this, view, page](bool) {
    loading_.erase(view);
    if (tabs_ == nullptr) return;
    tabs_->CommandStateChanged(view, page->history()->canGoBack(), page->history()->canGoForward());
    tabs_->LoadFinished(view);
    FindFeeds(view, page);
  });
  connect(page, &QWebEnginePage::urlChanged, this, [this, view, page](const QUrl&) {
    if (tabs_ != nullptr)
      tabs_->CommandStateChanged(view, page->history()->canGoBack(), page->history()->canGoForward());
  });
}

void WebTabs::FindFeeds(shell::ViewId view, QWebEnginePage* page) {
  const std::string address = AddressOf(page->url());
  const QPointer<QWebEnginePage> alive(page);
  page->runJavaScript(kFeedElementsScript.arg(shell::kMaxDiscoveryElements), QWebEngineScript::ApplicationWorld,
                      [this, view, alive, address](const QVariant& found) {
                        // The page may have gone on to another address meanwhile; its feeds
                        // belong to the page that was read.
                        if (alive.isNull() || tabs_ == nullptr || AddressOf(alive->url()) != address) return;
                        tabs_->PageLoaded(view, LoadedPageOf(address, found));
                      });
}

void WebTabs::DestroyView(shell::ViewId view) {
  const auto found = views_.find(view);
  if (found == views_.end()) return;
  delete found->second.data();
  views_.erase(found);
  loading_.erase(view);
}

void WebTabs::DetachView(shell::ViewId view) {
  QWebEngineView* widget = View(view);
  if (widget == nullptr) return;
  widget->hide();
  widget->stop();
  if (auto* page = dynamic_cast<WebPage*>(widget->page())) {
    page->Detach();
    page->disconnect(this);
  }
}

void WebTabs::ShowView(shell::ViewId view) {
  if (QWebEngineView* widget = View(view)) {
    stack_->setCurrentWidget(widget);
    widget->show();
  }
}

void WebTabs::FocusView(shell::ViewId view) {
  if (QWebEngineView* widget = View(view)) widget->setFocus();
}

void WebTabs::Navigate(shell::ViewId view, const std::string& address, int /*flags*/) {
  // The engine keeps every page in the history; the wish not to record one is left to it.
  if (QWebEngineView* widget = View(view)) widget->setUrl(UrlOf(address));
}

void WebTabs::Stop(shell::ViewId view) {
  if (QWebEngineView* widget = View(view)) widget->stop();
}

std::string WebTabs::Location(shell::ViewId view) const {
  QWebEngineView* widget = View(view);
  if (widget == nullptr || widget->url().isEmpty()) return {};
  return AddressOf(widget->url());
}

void WebTabs::ApplySecurityOptions(shell::ViewId view) {
  QWebEngineView* widget = View(view);
  if (widget == nullptr) return;
  if (auto* page = dynamic_cast<WebPage*>(widget->page())) {
    page->SetSecurity(shell::SecurityFor(settings_, shell::IsSummaryAddress(Location(view))));
  }
}

void WebTabs::InsertTab(int index, shell::ViewId, const std::string& caption) {
  const QSignalBlocker quiet(bar_);
  bar_->insertTab(index, ToQString(caption));
}

void WebTabs::RemoveTab(int index) {
  const QSignalBlocker quiet(bar_);
  bar_->removeTab(index);
}

void WebTabs::MoveTab(int from, int to) {
  // A tab the user dragged has been moved by the row already.
  if (draggedMove_ || from == to) return;
  const QSignalBlocker quiet(bar_);
  bar_->moveTab(from, to);
}

void WebTabs::SetTabCaption(int index, const std::string& caption) {
  bar_->setTabText(index, ToQString(caption));
}

void WebTabs::SetTabLocked(int index, bool locked) {
  bar_->setTabIcon(index, locked ? style()->standardIcon(QStyle::SP_DialogApplyButton) : QIcon());
}

void WebTabs::SetActiveTab(int index) {
  const QSignalBlocker quiet(bar_);
  bar_->setCurrentIndex(index);
}

void WebTabs::SetTabRowVisible(bool visible) {
  bar_->setVisible(visible);
}

void WebTabs::SetTabRowMultiLine(bool) {
  // Qt's tab row has a single line; with many tabs it scrolls instead of wrapping.
}

void WebTabs::ShowTabBehaviour(settings::TabBehaviour) {}

void WebTabs::SetWindowCaption(const std::string& caption) {
  emit WindowCaptionChanged(ToQString(caption));
}

void WebTabs::SetAddressText(const std::string& address) {
  emit AddressChanged(ToQString(address));
}

void WebTabs::SetNavigationEnabled(bool back, bool forward, bool refresh) {
  emit NavigationEnabled(back, forward, refresh);
}

void WebTabs::SetNavigateStatus(const std::string& text) {
  emit NavigateStatusChanged(ToQString(text));
}

void WebTabs::SetBusyAnimation(bool running) {
  emit BusyChanged(running);
}

void WebTabs::ShowFeedFound(int state, uint32_t rgb, const std::string& hint, bool feedIcon) {
  emit FeedFoundChanged(state, QColor(QRgb(rgb)), ToQString(hint), feedIcon);
}

}  // namespace ui
