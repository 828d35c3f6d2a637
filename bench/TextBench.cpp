// SPDX-License-Identifier: MIT
// Throughput of the two text routines every fetched document and every search pass runs
// over: UTF-8 to code page 932 (Utf8ToSjis) and the search folding (FoldForSearch). Each
// runs on an English RSS-like document and on a Japanese text, about 1 MB each, generated
// here so that every run sees the same bytes.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "text/Compare.h"
#include "text/Convert.h"

namespace {

constexpr size_t kDocumentSize = 1 << 20;

// A small deterministic generator, so the documents do not depend on the library's
// random engines.
class Words {
 public:
  explicit Words(std::vector<std::string> words) : words_(std::move(words)) {}
  const std::string& Next() {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return words_[(state_ >> 33) % words_.size()];
  }

 private:
  std::vector<std::string> words_;
  uint64_t state_ = 12345;
};

// An RSS 2.0 document in English: markup, addresses, dates and plain sentences.
std::string EnglishFeed() {
  Words words({"the",    "news", "update",  "release", "server", "weather", "market", "city",
               "report", "new",  "version", "of",      "and",    "for",     "with",   "today",
               "Tokyo",  "open", "source",  "library", "feed",   "reader",  "shows",  "more",
               "than",   "in",   "a",       "week",    "price",  "rises",   "game",   "team"});
  std::string feed = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<rss version=\"2.0\"><channel>\n";
  for (int item = 0; feed.size() < kDocumentSize; ++item) {
    feed += "<item>\n<title>";
    for (int i = 0; i < 8; ++i) feed += words.Next() + (i < 7 ? " " : "");
    feed += "</title>\n<link>https://news.example.com/articles/" + std::to_string(item) + ".html</link>\n";
    feed += "<description>&lt;p&gt;";
    for (int i = 0; i < 60; ++i) feed += words.Next() + (i % 12 == 11 ? ". " : " ");
    feed += "&lt;/p&gt;</description>\n<pubDate>Mon, 03 Jun 2024 09:15:00 +0900</pubDate>\n</item>\n";
  }
  return feed + "</channel></rss>\n";
}

// A Japanese text: mostly kanji and kana with punctuation, some ASCII words and numbers.
std::string JapaneseText() {
  Words words({"東京都", "では", "新しい",       "ニュース",   "が",   "配信",     "されました", "。",   "、",
               "今日",   "の",   "天気",         "は",         "晴れ", "です",     "「",         "」",   "情報",
               "を",     "確認", "して",         "ください",   "RSS",  "2024年",   "6月",        "経済", "市場",
               "価格",   "上昇", "ソフトウェア", "バージョン", "公開", "ひらがな", "カタカナ",   "漢字", "読み込み",
               "サイト", "記事", "ｶﾀｶﾅ",         "①",          "ー",   "〜"});
  std::string text;
  while (text.size() < kDocumentSize) {
    text += words.Next();
    if (text.size() % 97 < 3) text += " http://example.jp/ ";
  }
  return text;
}

const std::string& EnglishUtf8() {
  static const std::string text = EnglishFeed();
  return text;
}

const std::string& JapaneseUtf8() {
  static const std::string text = JapaneseText();
  return text;
}

void RunUtf8ToSjis(benchmark::State& state, const std::string& utf8) {
  for (auto _ : state) benchmark::DoNotOptimize(text::Utf8ToSjis(utf8));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(utf8.size()));
}

void RunFoldForSearch(benchmark::State& state, const std::string& utf8) {
  const std::string sjis = text::Utf8ToSjis(utf8);
  for (auto _ : state) benchmark::DoNotOptimize(text::FoldForSearch(sjis));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(sjis.size()));
}

void BM_Utf8ToSjis_English(benchmark::State& state) {
  RunUtf8ToSjis(state, EnglishUtf8());
}
void BM_Utf8ToSjis_Japanese(benchmark::State& state) {
  RunUtf8ToSjis(state, JapaneseUtf8());
}
void BM_FoldForSearch_English(benchmark::State& state) {
  RunFoldForSearch(state, EnglishUtf8());
}
void BM_FoldForSearch_Japanese(benchmark::State& state) {
  RunFoldForSearch(state, JapaneseUtf8());
}

BENCHMARK(BM_Utf8ToSjis_English)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Utf8ToSjis_Japanese)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FoldForSearch_English)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FoldForSearch_Japanese)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
