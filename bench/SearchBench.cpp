// SPDX-License-Identifier: MIT
// Counting ten saved searches over the shared data folder (100,000 items), with and without
// the descriptions searched: the snapshot the main thread takes in slices (its longest
// slice is what the window would feel) and the matching the worker does.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>

#include "BenchData.h"
#include "platform/SilentDialogs.h"
#include "search/SearchCount.h"
#include "search/SearchSnapshot.h"
#include "settings/Settings.h"
#include "store/ChannelStore.h"
#include "store/datafile/DataGuard.h"
#include "store/datafile/FeedDataFile.h"
#include "store/journal/RecoveryCounter.h"
#include "text/Literal.h"

namespace {

// The generated data loaded once, with ten search items of every kind of query.
struct Program {
  Program() {
    settings.DateMax = 0;
    settings.SearchThread = settings::SearchDisplay::kAllCounts;  // every item examined: the heaviest count
    bench::WriteBytes(folder.Path() + "plover.dat", bench::MakeDataFile(bench::ChannelCount()));
    if (!dataFile.LoadChannelTree(folder.Path(), 0, false)) return;
    store::TChannelTree& tree = store.Tree();
    const char* queries[] = {"日本 東京", "the*and",    "データ", "!abc",        "\"de la\"",
                             "news",      "技術 !速報", "a*e*i",  "記事 ソフト", "ニュース"};
    for (const char* query : queries) tree.AddChild(tree.RootNode(), text::J(query), store::kKindSearch);
    loaded = true;
  }
  bench::TempFolder folder;
  settings::Settings settings;
  store::ChannelStore store{settings};
  store::DataGuard guard;
  platform::SilentDialogs dialogs;
  store::RecoveryCounter counter{1};
  store::FeedDataFile dataFile{store, guard, dialogs, counter};
  bool loaded = false;
};

Program& Loaded() {
  static Program program;
  return program;
}

void BM_CountSavedSearches(benchmark::State& state) {
  Program& program = Loaded();
  if (!program.loaded) {
    state.SkipWithError("the data did not load");
    return;
  }
  program.settings.SearchDesc = state.range(0) != 0;
  std::chrono::steady_clock::duration longest{};
  int slices = 0;
  int64_t matches = 0;
  const std::atomic<uint64_t> generation{1};
  for (auto _ : state) {
    search::SnapshotBuilder builder(program.store.Tree(), program.settings);
    for (bool done = false; !done;) {
      const auto start = std::chrono::steady_clock::now();
      done = builder.CopySome(search::SearchCount::kSliceBudget);
      longest = std::max(longest, std::chrono::steady_clock::now() - start);
      ++slices;
    }
    const search::SearchSnapshot snapshot = builder.Take();
    const auto results = search::CountMatches(snapshot, generation, 1);
    matches = 0;
    for (const search::SearchResult& result : *results) matches += result.itemTotal;
  }
  state.counters["items"] = program.store.Tree().RootNode()->ItemTotal();
  state.counters["matches"] = static_cast<double>(matches);
  state.counters["slices_per_count"] = static_cast<double>(slices) / static_cast<double>(state.iterations());
  state.counters["longest_slice_ms"] = std::chrono::duration<double, std::milli>(longest).count();
}
BENCHMARK(BM_CountSavedSearches)->ArgName("SearchDesc")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
