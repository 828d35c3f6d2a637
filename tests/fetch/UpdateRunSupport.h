// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "fetch/UpdateRun.h"
#include "formats/html/HtmlExceptionList.h"
#include "formats/html/HtmlToFeed.h"
#include "settings/Settings.h"
#include "store/ChannelStore.h"
#include "support/ManualUiLock.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace fetch {

// A view that keeps what the run showed.
class RecordingView : public UpdateRunView {
 public:
  bool Minimised() const override { return minimised; }
  void ShowBalloon(const std::string&, const std::string& text) override { balloons.push_back(text); }
  void SetTrayTip(const std::string& tip) override { tips.push_back(tip); }
  std::string Title() const override { return title; }
  void SetTitle(const std::string& newTitle) override { title = newTitle; }
  void LockUserInterface(bool, bool busyWindow) override {
    locked = true;
    busy = busyWindow;
  }
  void UnlockUserInterface() override { locked = false; }
  void SetUpdateButtonCaption(const std::string& caption) override { buttonCaption = caption; }

  bool minimised = false;
  bool locked = false;
  bool busy = false;
  std::string title = "Plover";
  std::string buttonCaption;
  std::vector<std::string> balloons;
  std::vector<std::string> tips;
};

class HeldKeys : public ModifierKeys {
 public:
  bool ShiftHeld() const override { return shift; }
  bool CtrlHeld() const override { return ctrl; }
  bool shift = false;
  bool ctrl = false;
};

// The collaborators of a run over a tree of its own, with the clock at `today`.
struct RunWorld {
  explicit RunWorld(platform::EventLoop& loop) : loop_(loop) {
    settings.InternetPreConfig = 0;  // straight to the loopback server, whatever the environment says
  }

  store::TTreeNodeExt* AddChannel(const std::string& caption, const std::string& address,
                                  store::TTreeNodeExt* parent = nullptr) {
    auto list = std::make_unique<store::TSiteList>();
    list->Site.rdfurl = address;
    return store.Tree().AddChild(parent != nullptr ? parent : store.Tree().RootNode(), caption, store::kKindChannel,
                                 std::move(list));
  }

  UpdateRun& Run() {
    if (!run) {
      UpdateRunServices services{loop_, store, settings, dialogs, xml, lock, data.Path()};
      services.Html = &html;
      services.Keys = &keys;
      services.Now = [this] { return today; };
      UpdateRunHooks hooks;
      hooks.RunEnded = [this] {
        ++runsEnded;
        if (onEnded) onEnded();
      };
      run = std::make_unique<UpdateRun>(services, view, hooks);
    }
    return *run;
  }

  testsupport::TempDir data;
  settings::Settings settings;
  store::ChannelStore store{settings};
  formats::XmlContext xml;
  testsupport::ScriptedDialogs dialogs;
  testsupport::ManualUiLock lock;
  formats::HtmlExceptionList exceptions;
  formats::HtmlToFeed html{formats::HtmlToFeedServices{settings, exceptions, data.Path(), {}, {}}};
  RecordingView view;
  HeldKeys keys;
  double today = 46000.5;
  int runsEnded = 0;
  std::function<void()> onEnded;
  std::unique_ptr<UpdateRun> run;

 private:
  platform::EventLoop& loop_;
};

// An RSS 2.0 document with items "<prefix>1".."<prefix>count", linked below http://example.jp/.
std::string RssDocument(const std::string& title, int count, const std::string& prefix = "item");

// The titles of the error log's entries.
std::vector<std::string> ErrorLogTitles(const store::TChannelTree& tree);

}  // namespace fetch
