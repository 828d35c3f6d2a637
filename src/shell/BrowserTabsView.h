// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

#include "settings/Settings.h"

namespace shell {

// A browser view, as the tab list names it. The tab list hands the ids out; 0 is no view.
using ViewId = int64_t;
inline constexpr ViewId kNoView = 0;

// Navigation flags: bit 0 asks for a window of its own, bit 1 asks the view not to record
// the page it leaves in its history (as far as the engine lets it).
inline constexpr int kNavOpenInNewWindow = 1;
inline constexpr int kNavNoHistory = 2;

// What started a navigation, as the engine reports it.
enum class NavigationKind {
  kLinkClicked,
  kTyped,  // an address the program loads into the view (the address box comes here too)
  kFormSubmitted,
  kBackForward,
  kReload,
  kRedirect,  // the server or the page moved an accepted navigation on
  kOther,
};

// The browser area of the main window: the views, one per tab, each in a panel of its own
// that fills the area, the tab row above them, and the parts of the window that follow the
// active view (caption, address box, back/forward/refresh, status panels). The desktop
// program implements it with web views; the tab list decides everything and only tells it
// what to show. A view reports its events later, from the event loop, not from inside
// these calls.
class BrowserTabsView {
 public:
  virtual ~BrowserTabsView() = default;

  // Creates a view inside a new hidden panel, with the view options set (context menu,
  // no border, scroll bars, accelerators, auto-complete) and its events bound to the tab
  // list under `view`.
  virtual void CreateView(ViewId view) = 0;
  // Destroys a view that was detached before, with its panel.
  virtual void DestroyView(ViewId view) = 0;
  // Hides the view's panel, stops the view and unbinds its events: it reports nothing
  // from now on and waits for DestroyView.
  virtual void DetachView(ViewId view) = 0;
  // Shows the view's panel in front of the others.
  virtual void ShowView(ViewId view) = 0;
  // Gives the keyboard focus to the view.
  virtual void FocusView(ViewId view) = 0;

  virtual void Navigate(ViewId view, const std::string& address, int flags) = 0;
  virtual void Stop(ViewId view) = 0;
  // The address the view shows now (code page 932, in the one form the view uses for
  // every address it reports); empty for a view that has shown nothing yet.
  virtual std::string Location(ViewId view) const = 0;
  // Applies the current security options of the settings (scripts, frames, media,
  // images, pop-ups) to the view; they take effect from its next page.
  virtual void ApplySecurityOptions(ViewId view) = 0;

  // The tab row. Indexes are positions in the row, which always mirrors the tab list.
  virtual void InsertTab(int index, ViewId view, const std::string& caption) = 0;
  virtual void RemoveTab(int index) = 0;
  virtual void MoveTab(int from, int to) = 0;
  virtual void SetTabCaption(int index, const std::string& caption) = 0;
  // A locked tab shows image 0 of the tab images, an unlocked one no image.
  virtual void SetTabLocked(int index, bool locked) = 0;
  virtual void SetActiveTab(int index) = 0;
  virtual void SetTabRowVisible(bool visible) = 0;
  virtual void SetTabRowMultiLine(bool multiLine) = 0;
  // The tab behaviour button shows the image of the behaviour of the current mode (its
  // number, 0 to 3, is the image's index).
  virtual void ShowTabBehaviour(settings::TabBehaviour behaviour) = 0;

  // The window's parts that follow the active view.
  virtual void SetWindowCaption(const std::string& caption) = 0;
  virtual void SetAddressText(const std::string& address) = 0;
  virtual void SetNavigationEnabled(bool back, bool forward, bool refresh) = 0;
  // Hides the status bar's progress and puts the progress bar's hint text into its
  // second panel.
  virtual void ResetProgress() = 0;
  // The third status panel.
  virtual void SetNavigateStatus(const std::string& text) = 0;
  virtual void SetBusyAnimation(bool running) = 0;
  // What the active tab's page offers in feeds: the address bar's background colour
  // (0xRRGGBB) and hint for the FeedFoundState `state`, and whether the status bar shows
  // the feed icon (the tab found any feed).
  virtual void ShowFeedFound(int /*state*/, uint32_t /*rgb*/, const std::string& /*hint*/, bool /*feedIcon*/) {}
};

}  // namespace shell
