// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Process.h"
#include "shell/BrowserTabsHost.h"
#include "shell/BrowserTabsView.h"
#include "shell/OfflineCopyLookup.h"
#include "shell/PageCommands.h"

namespace shell::testing {

// The browser area as the tab list drives it: views with the address each shows, and a
// tab row that follows only what it is told, so that the tests can compare it with the
// tab list. Calls that could not happen to real views fail the test.
class FakeTabsView : public BrowserTabsView {
 public:
  struct RowTab {
    ViewId view;
    std::string caption;
    bool locked = false;
    bool operator==(const RowTab&) const = default;
  };
  struct Navigation {
    ViewId view;
    std::string address;
    int flags;
  };

  void CreateView(ViewId view) override {
    if (!live.insert(view).second) ADD_FAILURE() << "view created twice: " << view;
  }
  void DestroyView(ViewId view) override {
    if (detached.erase(view) == 0) ADD_FAILURE() << "view destroyed without being detached: " << view;
    live.erase(view);
    destroyed.push_back(view);
  }
  void DetachView(ViewId view) override {
    if (!live.count(view) || !detached.insert(view).second) ADD_FAILURE() << "bad detach: " << view;
    if (onDetach) onDetach(view);
  }
  void ShowView(ViewId view) override {
    Usable(view);
    shown = view;
  }
  void FocusView(ViewId view) override {
    Usable(view);
    focused = view;
  }
  void Navigate(ViewId view, const std::string& address, int flags) override {
    Usable(view);
    navigations.push_back({view, address, flags});
  }
  void Stop(ViewId view) override {
    Usable(view);
    stopped.push_back(view);
  }
  std::string Location(ViewId view) const override {
    const auto it = location.find(view);
    return it == location.end() ? std::string() : it->second;
  }
  void ApplySecurityOptions(ViewId view) override {
    Usable(view);
    ++securityApplied[view];
  }

  void InsertTab(int index, ViewId view, const std::string& caption) override {
    ASSERT_LE(static_cast<size_t>(index), row.size());
    row.insert(row.begin() + index, RowTab{view, caption});
  }
  void RemoveTab(int index) override {
    ASSERT_LT(static_cast<size_t>(index), row.size());
    row.erase(row.begin() + index);
  }
  void MoveTab(int from, int to) override {
    ASSERT_LT(static_cast<size_t>(from), row.size());
    RowTab moved = row[static_cast<size_t>(from)];
    row.erase(row.begin() + from);
    row.insert(row.begin() + to, moved);
  }
  void SetTabCaption(int index, const std::string& caption) override {
    row.at(static_cast<size_t>(index)).caption = caption;
  }
  void SetTabLocked(int index, bool locked) override { row.at(static_cast<size_t>(index)).locked = locked; }
  void SetActiveTab(int index) override { rowActive = index; }
  void SetTabRowVisible(bool visible) override { rowVisible = visible; }
  void SetTabRowMultiLine(bool multiLine) override { rowMultiLine = multiLine; }
  void ShowTabBehaviour(settings::TabBehaviour behaviour) override { behaviourImage = static_cast<int>(behaviour); }

  void SetWindowCaption(const std::string& caption) override { windowCaption = caption; }
  void SetAddressText(const std::string& address) override { addressText = address; }
  void SetNavigationEnabled(bool back, bool forward, bool refresh) override {
    backEnabled = back;
    forwardEnabled = forward;
    refreshEnabled = refresh;
  }
  void ResetProgress() override { ++progressResets; }
  void SetNavigateStatus(const std::string& text) override { navigateStatus = text; }
  void SetBusyAnimation(bool running) override { busy = running; }
  void ShowFeedFound(int state, uint32_t rgb, const std::string& hint, bool feedIcon) override {
    feedFound.push_back(FeedFoundShown{state, rgb, hint, feedIcon});
  }

  std::vector<ViewId> RowViews() const {
    std::vector<ViewId> views;
    for (const RowTab& tab : row) views.push_back(tab.view);
    return views;
  }

  std::set<ViewId> live;
  std::set<ViewId> detached;
  std::vector<ViewId> destroyed;
  std::map<ViewId, std::string> location;
  std::vector<Navigation> navigations;
  std::vector<ViewId> stopped;
  std::map<ViewId, int> securityApplied;
  ViewId shown = kNoView;
  ViewId focused = kNoView;
  std::vector<RowTab> row;
  int rowActive = -1;
  bool rowVisible = false;
  bool rowMultiLine = false;
  int behaviourImage = -1;
  std::string windowCaption;
  std::string addressText;
  bool backEnabled = false;
  bool forwardEnabled = false;
  bool refreshEnabled = false;
  int progressResets = 0;
  std::string navigateStatus;
  bool busy = false;
  struct FeedFoundShown {
    int state;
    uint32_t rgb;
    std::string hint;
    bool feedIcon;
  };
  std::vector<FeedFoundShown> feedFound;
  std::function<void(ViewId)> onDetach;

 private:
  void Usable(ViewId view) const {
    if (!live.count(view) || detached.count(view)) ADD_FAILURE() << "view not usable: " << view;
  }
};

class FakeHost : public BrowserTabsHost {
 public:
  explicit FakeHost(int& viewMode) : viewMode_(viewMode) {}
  bool ShiftHeld() const override { return shift; }
  bool CtrlHeld() const override { return ctrl; }
  bool TreeHasFocus() const override { return treeFocus; }
  void LeaveListMode() override {
    ++listModeLeft;
    viewMode_ = 1;
  }

  bool shift = false;
  bool ctrl = false;
  bool treeFocus = false;
  int listModeLeft = 0;

 private:
  int& viewMode_;
};

// Handles "varnholt:" addresses only, as the generated pages' commands; everything offered
// is recorded.
class FakePageCommands : public PageCommands {
 public:
  bool HandleInternalLink(const std::string& address, ViewId view) override {
    offered.push_back(address);
    offeredViews.push_back(view);
    return address.starts_with("varnholt:");
  }
  void LinkOpened(const std::string& address) override { linksOpened.push_back(address); }

  std::vector<std::string> offered;
  std::vector<ViewId> offeredViews;
  std::vector<std::string> linksOpened;
};

class FakeOfflineCopies : public OfflineCopyLookup {
 public:
  std::optional<std::string> Find(const std::string& address) override {
    looked.push_back(address);
    const auto it = copies.find(address);
    if (it == copies.end()) return std::nullopt;
    return it->second;
  }
  std::map<std::string, std::string> copies;
  std::vector<std::string> looked;
};

class RecordingLauncher : public platform::ProcessLauncher {
 public:
  struct Started {
    std::string program;
    std::vector<std::string> arguments;
  };
  bool Start(const std::string& program, const std::vector<std::string>& arguments) override {
    started.push_back({program, arguments});
    return result;
  }
  std::vector<Started> started;
  bool result = true;
};

}  // namespace shell::testing
