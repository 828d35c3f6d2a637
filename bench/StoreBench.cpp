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
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/SilentDialogs.h"
#include "settings/Settings.h"
#include "store/ChannelStore.h"
#include "store/DataGuard.h"
#include "store/FeedDataFile.h"
#include "store/RecoveryCounter.h"
#include "text/Literal.h"

namespace {

constexpr int kItemsPerChannel = 200;
constexpr int kChannelsPerGroup = 20;

// A small deterministic generator, so every run sees the same bytes.
class Random {
 public:
  uint32_t Next() {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<uint32_t>(state_ >> 33);
  }
  int Between(int low, int high) { return low + static_cast<int>(Next() % static_cast<uint32_t>(high - low + 1)); }

 private:
  uint64_t state_ = 20080103;
};

class TextMaker {
 public:
  TextMaker() {
    for (const char* word : {"新しい", "記事", "東京", "天気", "ニュース", "更新", "技術",   "市場", "発表", "情報",
                             "週末",   "開催", "世界", "日本", "経済",     "公開", "ソフト", "会議", "予定", "結果"}) {
      japanese_.push_back(text::J(word));
    }
    english_ = {"news ",    "update ",  "release ", "server ", "weather ", "market ", "city ", "report ",
                "version ", "library ", "open ",    "source ", "today ",   "shows ",  "feed ", "reader "};
  }

  // About `length` bytes of text; a third of the texts are Japanese.
  std::string Text(int length) {
    const std::vector<std::string>& words = random_.Next() % 3 == 0 ? japanese_ : english_;
    std::string text;
    while (static_cast<int>(text.size()) < length) text += words[random_.Next() % words.size()];
    return text;
  }

  Random& Rng() { return random_; }

 private:
  Random random_;
  std::vector<std::string> japanese_;
  std::vector<std::string> english_;
};

void Line(std::string& out, const std::string& key, const std::string& value) {
  out += key;
  out += ':';
  out += value;
  out += "\r\n";
}

// The data file, written straight as text so that making it leaves no tree behind.
std::string MakeDataFile(int channels) {
  TextMaker maker;
  std::string out = "[000000]\r\n";
  int nodes = 0;
  for (int c = 0; c < channels; ++c) {
    if (c % kChannelsPerGroup == 0) {
      out += "flag:001000\r\n";
      Line(out, "dispname", maker.Text(12));
      out += "*\r\n";
      ++nodes;
    }
    out += "flag:002001\r\n";
    Line(out, "dispname", maker.Text(20));
    Line(out, "rdfurl", "http://feeds.example.jp/channel" + std::to_string(c) + "/index.rdf");
    Line(out, "title", maker.Text(30));
    Line(out, "link", "http://www.example.jp/channel" + std::to_string(c) + "/");
    Line(out, "desc", maker.Text(120));
    Line(out, "modified", "39449.5");
    Line(out, "server", "Wed, 02 Jan 2008 03:00:00 GMT");
    Line(out, "client", "39450.25");
    Line(out, "recovery", std::to_string(1000 + c));
    out += "*\r\n";
    ++nodes;
    for (int i = 0; i < kItemsPerChannel; ++i) {
      Random& rng = maker.Rng();
      out += "flag:002010\r\n";
      if (rng.Next() % 2 == 0) Line(out, "read", "1");
      Line(out, "title", maker.Text(rng.Between(20, 60)));
      std::string link = "http://www.example.jp/channel" + std::to_string(c) + "/archives/2008/01/entry-" +
                         std::to_string(i) + ".html?from=rss&id=";
      link += std::to_string(rng.Next());
      Line(out, "link", link);
      Line(out, "desc", maker.Text(rng.Between(200, 600)));
      Line(out, "creator", maker.Text(8));
      Line(out, "category", maker.Text(6));
      Line(out, "modified", std::to_string(39000 + i) + "." + std::to_string(rng.Between(1, 999)));
      Line(out, "pubdate", "Wed, 02 Jan 2008 12:00:00 +0900");
      out += "*\r\n";
    }
  }
  char header[16];
  std::snprintf(header, sizeof header, "[%06d]", nodes % 1000000);
  out.replace(0, 8, header);
  return out;
}

int ChannelCount() {
  const char* value = std::getenv("PLOVER_BENCH_CHANNELS");
  const int count = value ? std::atoi(value) : 0;
  return count > 0 ? count : 500;
}

// The data folder with its plover.dat, made once for all benchmarks of the run.
struct Folder {
  Folder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "plover-bench-XXXXXX").string();
    path = ::mkdtemp(pattern.data()) ? pattern + "/" : std::string();
    const std::string bytes = MakeDataFile(ChannelCount());
    fileSize = bytes.size();
    std::ofstream(path + "plover.dat", std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  ~Folder() { std::filesystem::remove_all(path); }
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
