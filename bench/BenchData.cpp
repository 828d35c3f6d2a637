// SPDX-License-Identifier: MIT
#include "BenchData.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "text/Literal.h"

namespace bench {
namespace {

constexpr int kChannelsPerGroup = 20;
constexpr int kDefaultChannels = 500;

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

void AddItems(std::string& out, TextMaker& maker, int channel) {
  for (int i = 0; i < kItemsPerChannel; ++i) {
    Random& rng = maker.Rng();
    out += "flag:002010\r\n";
    if (rng.Next() % 2 == 0) Line(out, "read", "1");
    Line(out, "title", maker.Text(rng.Between(20, 60)));
    std::string link = "http://www.example.jp/channel" + std::to_string(channel) + "/archives/2008/01/entry-" +
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

}  // namespace

// The data file is written straight as text, so that making it leaves no tree behind.
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
    AddItems(out, maker, c);
  }
  char header[16];
  std::snprintf(header, sizeof header, "[%06d]", nodes % 1000000);
  out.replace(0, 8, header);
  return out;
}

int ChannelCount() {
  const char* value = std::getenv("PLOVER_BENCH_CHANNELS");
  const int count = value ? std::atoi(value) : 0;
  return count > 0 ? count : kDefaultChannels;
}

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "plover-bench-XXXXXX").string();
  path_ = ::mkdtemp(pattern.data()) ? pattern + "/" : std::string();
}

TempFolder::~TempFolder() {
  std::error_code error;
  if (!path_.empty()) std::filesystem::remove_all(path_, error);
}

bool WriteBytes(const std::string& fileName, const std::string& bytes) {
  std::ofstream out(fileName, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace bench
