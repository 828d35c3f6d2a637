// SPDX-License-Identifier: MIT
// Loading and saving plover.dat at a heavy user's size: 500 channels of 200 items each
// (100,000 items) with realistic field lengths, a third of the text Japanese. The load is
// also measured for memory: the growth of the resident set around it, against the size of
// the file. PLOVER_BENCH_CHANNELS sets another number of channels (CI runs a small one).
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "BenchData.h"
#include "platform/SilentDialogs.h"
#include "settings/Settings.h"
#include "store/ChannelStore.h"
#include "store/datafile/DataGuard.h"
#include "store/datafile/FeedDataFile.h"
#include "store/journal/RecoveryCounter.h"

namespace {

// The data folder with its plover.dat, made once for all benchmarks of the run.
struct Folder {
  Folder() {
    const std::string bytes = bench::MakeDataFile(bench::ChannelCount());
    fileSize = bytes.size();
    bench::WriteBytes(folder.Path() + "plover.dat", bytes);
    path = folder.Path();
  }
  bench::TempFolder folder;
  std::string path;
  size_t fileSize = 0;
};

Folder& DataFolder() {
  static Folder folder;
  return folder;
}

// Everything one run of the program needs to load and save.
struct Program {
  Program() { settings.DateMax = 0; }
  settings::Settings settings;
  store::ChannelStore store{settings};
  store::DataGuard guard;
  platform::SilentDialogs dialogs;
  store::RecoveryCounter counter{1};
  store::FeedDataFile dataFile{store, guard, dialogs, counter};
};

double ResidentBytes() {
  long size = 0;
  long resident = 0;
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr) return 0;
  if (std::fscanf(statm, "%ld %ld", &size, &resident) != 2) resident = 0;
  std::fclose(statm);
  return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE));
}

void BM_LoadDataFile(benchmark::State& state) {
  Folder& folder = DataFolder();
  double growth = 0;
  int64_t items = 0;
  for (auto _ : state) {
    state.PauseTiming();
    // Memory freed by the previous round goes back to the system, so the growth is the
    // load's own.
    ::malloc_trim(0);
    const double before = ResidentBytes();
    auto program = std::make_unique<Program>();
    state.ResumeTiming();
    if (!program->dataFile.LoadChannelTree(folder.path, 0, false)) state.SkipWithError("load failed");
    state.PauseTiming();
    growth = ResidentBytes() - before;
    items = program->store.Tree().RootNode()->ItemTotal();
    program.reset();
    state.ResumeTiming();
  }
  state.counters["items"] = static_cast<double>(items);
  state.counters["file_MB"] = static_cast<double>(folder.fileSize) / 1e6;
  state.counters["rss_growth_MB"] = growth / 1e6;
  state.counters["rss_per_file_byte"] = growth / static_cast<double>(folder.fileSize);
}
BENCHMARK(BM_LoadDataFile)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SaveDataFile(benchmark::State& state) {
  Folder& folder = DataFolder();
  Program program;
  if (!program.dataFile.LoadChannelTree(folder.path, 0, false)) state.SkipWithError("load failed");
  for (auto _ : state) {
    program.store.SetModified();
    if (program.dataFile.SaveChannelTree(folder.path, false) != store::SaveResult::kSaved) {
      state.SkipWithError("save failed");
    }
  }
  state.counters["file_MB"] = static_cast<double>(folder.fileSize) / 1e6;
}
BENCHMARK(BM_SaveDataFile)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
