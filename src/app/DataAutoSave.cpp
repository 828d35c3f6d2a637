// SPDX-License-Identifier: MIT
#include "app/DataAutoSave.h"

namespace app {

DataAutoSave::DataAutoSave(platform::EventLoop& loop, DataSession& session, std::function<bool()> busy)
    : session_(session),
      busy_(std::move(busy)),
      timer_(loop, kDelayMs, platform::TimerKind::kOnce, [this] { SaveNow(); }) {
  session_.Tree().AddObserver(this);
}

DataAutoSave::~DataAutoSave() {
  session_.Tree().RemoveObserver(this);
}

void DataAutoSave::Arm() {
  armed_ = true;
}

void DataAutoSave::Disarm() {
  armed_ = false;
  timer_.Stop();
}

void DataAutoSave::NoteChange() {
  if (!armed_) return;
  session_.Store().SetModified();
  Schedule();
}

void DataAutoSave::RunEnded() {
  if (session_.Store().DataModified()) Schedule();
}

void DataAutoSave::ExpandedChanged(store::TTreeNodeExt*) {
  NoteChange();
}

void DataAutoSave::Schedule() {
  // Each change starts the delay again, so a burst of changes is saved once.
  if (armed_) timer_.Start();
}

void DataAutoSave::SaveNow() {
  if (!armed_ || !session_.Store().DataModified() || session_.Guard().XmlParserMissing()) return;
  // The run saves when it ends; a save now would only be repeated then.
  if (busy_ && busy_()) return;
  session_.Save(false);
}

}  // namespace app
