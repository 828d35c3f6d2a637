// SPDX-License-Identifier: MIT
// The headline list with 100,000 items under the root: building the list of the root,
// sorting it by a text column and drawing every cell.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "present/HeadlineFakes.h"  // the fakes of tests/present
#include "present/KeywordListQuery.h"
#include "support/ManualEventLoop.h"
#include "support/ManualUiLock.h"
#include "support/ScriptedDialogs.h"

namespace {

using namespace present;

constexpr double kNow = 45000.5;
constexpr int kItems = 100000;

// Three channels under the root with 100,000 items between them, a quarter read.
struct HundredThousand {
  HundredThousand() {
    store::TChannelTree& tree = store.Tree();
    for (int c = 0; c < 3; ++c) {
      const std::string caption = "Channel " + std::to_string(c);
      auto data = std::make_unique<store::TSiteList>();
      data->Site.title = caption;
      channels[c] = tree.AddChild(tree.RootNode(), caption, store::kKindChannel, std::move(data));
    }
    for (int i = 0; i < kItems; ++i) {
      store::TSiteRecord record;
      record.title = "Title " + std::to_string((i * 7919) % kItems);
      record.link = "http://example.jp/" + std::to_string(i);
      record.creator = (i % 2 ? "alice " : "Bob ") + std::to_string(i % 97);
      record.read = i % 4 == 0 ? 1 : 0;
      record.modified = kNow - (i % 1000) / 10.0;
      store.AddItemToChannel(*channels[i % 3]->Data(), record);
    }
    list.SetWindowReady(true);
    list.SetStartupFinished(true);
  }

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
  testing::FakeRenderer renderer;
  testing::FakeOpener opener;
  KeywordListQuery query{settings};
  HeadlineList list{HeadlineServices{states, editor, settings, loop, dialogs, searchCount, view, renderer, opener,
                                     query, lock, [] { return kNow; }}};
  store::TTreeNodeExt* channels[3] = {};
};

HundredThousand& Data() {
  static HundredThousand data;
  return data;
}

void BM_ShowRoot(benchmark::State& state) {
  HundredThousand& data = Data();
  for (auto _ : state) {
    data.list.ShowNode(data.store.Tree().RootNode(), true);
    benchmark::DoNotOptimize(data.list.RowCount());
  }
}
BENCHMARK(BM_ShowRoot)->Unit(benchmark::kMillisecond);

void BM_SortByTitle(benchmark::State& state) {
  HundredThousand& data = Data();
  data.list.ShowNode(data.store.Tree().RootNode(), true);
  for (auto _ : state) data.list.SortByColumn(kColumnTitle);
}
BENCHMARK(BM_SortByTitle)->Unit(benchmark::kMillisecond);

void BM_DrawEveryCell(benchmark::State& state) {
  HundredThousand& data = Data();
  data.list.ShowNode(data.store.Tree().RootNode(), true);
  std::string cell;
  for (auto _ : state) {
    for (size_t row = 0; row < data.list.RowCount(); ++row) {
      for (int column = 0; column < kColumnCount; ++column) data.list.CellText(row, column, cell);
    }
    benchmark::DoNotOptimize(cell);
  }
}
BENCHMARK(BM_DrawEveryCell)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
