// SPDX-License-Identifier: MIT
// The summary pages in the built-in "Simple" style: a view-mode page of 20 items and the
// page of one selected headline, each from the fill to the cleaned document.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "formats/feeds/DocumentSource.h"
#include "present/HeadlineFakes.h"  // the fakes of tests/present
#include "present/KeywordListQuery.h"
#include "present/Styles.h"
#include "present/SummaryPages.h"
#include "support/ManualEventLoop.h"
#include "support/ManualUiLock.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace {

using namespace present;

constexpr double kNow = 45000.5;
constexpr int kItems = 60;

// A pane that only keeps the size of the last page.
class SizeDisplay : public PageDisplay {
 public:
  void ShowSummaryPage(const SummaryPage& page) override { bytes = page.Html.size(); }
  bool ShowsPage(int64_t) const override { return true; }
  size_t bytes = 0;
};

// A description as feeds write them: some two kilobytes of Japanese text with paragraphs,
// relative links and images.
std::string Description(int i) {
  std::string text;
  for (int p = 0; p < 6; ++p) {
    text += "<p>\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x96\x7b\x95\xb6\x82\xc5\x82\xb7\x81\x42 ";
    text += "<a href=\"/articles/" + std::to_string(i) + "/" + std::to_string(p) + ".html\">more</a> ";
    text += "<img src=\"img/photo" + std::to_string(p) + ".jpg\" width=\"120\"> ";
    for (int w = 0; w < 8; ++w) text += "\x83\x65\x83\x4c\x83\x58\x83\x67 text &amp; words ";
    text += "</p>\n";
  }
  return text;
}

struct PageData {
  PageData() {
    settings.FormViewMode = settings::kModeView;
    settings.EvwSeekMax = 20;
    settings.EvwMidokuOnly = 0;
    store::TChannelTree& tree = store.Tree();
    auto data = std::make_unique<store::TSiteList>();
    data->Site.title = "Bench channel";
    data->Site.link = "http://example.jp/news/";
    data->Site.imgurl = "http://example.jp/logo.png";
    channel = tree.AddChild(tree.RootNode(), "Bench", store::kKindChannel, std::move(data));
    for (int i = 0; i < kItems; ++i) {
      store::TSiteRecord record;
      record.title = "\x8b\x4c\x8e\x96 " + std::to_string(i);
      record.link = "2024/" + std::to_string(i) + ".html";
      record.de_cd = Description(i);
      record.creator = "writer";
      record.commurl = "comments/" + std::to_string(i);
      record.commnum = static_cast<uint16_t>(i % 5);
      record.modified = kNow - i / 24.0;
      store.AddItemToChannel(*channel->Data(), record);
    }
    list.SetWindowReady(true);
    list.SetStartupFinished(true);
    pages.SetHeadlineList(&list);
    list.SelectNode(channel);
  }

  testsupport::TempDir folder;
  settings::Settings settings;
  store::ChannelStore store{settings};
  store::ItemStateContext states{store};
  testsupport::ManualEventLoop loop;
  testsupport::ScriptedDialogs dialogs;
  store::SearchCountControl searchCount;
  store::TreeEditHost editHost;
  testsupport::ManualUiLock lock;
  store::TreeEditor editor{states, dialogs, searchCount, editHost, lock};
  testing::FakeView view;
  testing::FakeOpener opener;
  SizeDisplay display;
  formats::LocalFileSource files;
  Styles styles{settings, dialogs, files, "/opt/plover/", folder.Path()};
  SummaryPages pages{PageServices{settings,
                                  styles,
                                  display,
                                  opener,
                                  states,
                                  searchCount,
                                  dialogs,
                                  FileLocations("/opt/plover/", folder.Path()),
                                  {}}};
  KeywordListQuery query{settings};
  HeadlineList list{HeadlineServices{states, editor, settings, loop, dialogs, searchCount, view, pages, opener, query,
                                     lock, [] { return kNow; }}};
  store::TTreeNodeExt* channel = nullptr;
};

PageData& Data() {
  static PageData data;
  return data;
}

void BM_ViewModePageOf20(benchmark::State& state) {
  PageData& data = Data();
  data.settings.FormViewMode = settings::kModeView;
  for (auto _ : state) {
    data.list.Page().PageStart = 20;
    data.pages.RenderViewPage(data.list.Page());
    benchmark::DoNotOptimize(data.display.bytes);
  }
  state.counters["page_bytes"] = static_cast<double>(data.display.bytes);
}
BENCHMARK(BM_ViewModePageOf20)->Unit(benchmark::kMillisecond);

void BM_SelectedItemPage(benchmark::State& state) {
  PageData& data = Data();
  data.settings.FormViewMode = settings::kModeStandard;
  store::TSiteRecord& item = *data.channel->Data()->ItemAt(7);
  for (auto _ : state) {
    data.pages.RenderSummaryPage(item);
    benchmark::DoNotOptimize(data.display.bytes);
  }
  state.counters["page_bytes"] = static_cast<double>(data.display.bytes);
}
BENCHMARK(BM_SelectedItemPage)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
