// SPDX-License-Identifier: MIT
// Reading feeds at a realistic worst size: a 1 MB RSS 2.0 feed and a 1 MB Atom feed of
// 500 Japanese items each, through the whole processing path into an empty channel; the
// merge of an unchanged re-fetch of a 200-item feed into its channel; the merge of a
// re-fetch into a channel without an item limit that holds 50,000 or 100,000 items, alone
// and through the whole processing path; and, for comparison, the XML parser alone
// building its tree from the same bytes.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "formats/feeds/FeedProcessor.h"
#include "formats/feeds/FeedRun.h"
#include "formats/feeds/ItemMerge.h"
#include "platform/SilentDialogs.h"
#include "platform/XmlDocument.h"
#include "settings/Settings.h"
#include "store/ChannelStore.h"
#include "text/Convert.h"

namespace {

// Japanese running text of about `characters` characters (UTF-8), varied by `seed`.
std::string JapaneseText(int seed, int characters) {
  static const char* const kWords[] = {
      "今日は",         "東京で",     "新しい",       "技術の",  "発表が",     "ありました。", "詳しくは", "記事を",
      "ご覧ください。", "髙橋さんの", "説明によると", "①番目の", "ポイントは", "速さです。",   "Plover ",  "RSS "};
  std::string text;
  int count = 0;
  for (int i = 0; count < characters; ++i) {
    const char* word = kWords[(seed * 7 + i * 3) % 16];
    text += word;
    count += 4;
  }
  return text;
}

std::string Date(int index) {
  return "2024-05-" + std::to_string(10 + index % 20) + "T" + std::to_string(10 + index % 10) + ":" +
         std::to_string(10 + index % 50) + ":00+09:00";
}

std::string RssFeed(int items, int descriptionCharacters) {
  std::string feed =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">"
      "<channel><title>ベンチマークのニュース</title><link>http://bench.example.jp/</link>"
      "<description>毎日の記事</description>\n";
  for (int i = 0; i < items; ++i) {
    feed += "<item><title>" + JapaneseText(i, 20) + " " + std::to_string(i) + "</title><link>http://bench.example.jp/" +
            std::to_string(i) + "</link><description><![CDATA[<p>" + JapaneseText(i + 1, descriptionCharacters) +
            "</p>]]></description><dc:date>" + Date(i) +
            "</dc:date><dc:creator>記者</dc:creator>"
            "<category>技術</category></item>\n";
  }
  return feed + "</channel></rss>\n";
}

std::string AtomFeed(int items, int contentCharacters) {
  std::string feed =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<feed xmlns=\"http://www.w3.org/2005/Atom\">"
      "<title>ベンチマークの日誌</title><link rel=\"alternate\" href=\"http://bench.example.jp/\"/>"
      "<updated>2024-05-30T00:00:00Z</updated>\n";
  for (int i = 0; i < items; ++i) {
    feed += "<entry><title>" + JapaneseText(i, 20) + " " + std::to_string(i) +
            "</title><link rel=\"alternate\" href=\"http://bench.example.jp/e/" + std::to_string(i) +
            "\"/><id>tag:bench," + std::to_string(i) + "</id><published>" + Date(i) +
            "</published><author><name>著者</name></author><summary>" + JapaneseText(i + 2, 40) +
            "</summary><content type=\"html\">&lt;p&gt;" + JapaneseText(i + 1, contentCharacters) +
            "&lt;/p&gt;</content></entry>\n";
  }
  return feed + "</feed>\n";
}

// A store with one empty channel and a processor over it, limits off so that every item
// of the document is read.
struct Reader {
  Reader() {
    settings.ItemMax = 0;
    settings.DateMax = 0;
    auto list = std::make_unique<store::TSiteList>();
    list->Site.rdfurl = "http://bench.example.jp/feed";
    node = store.Tree().AddChild(store.Tree().RootNode(), "bench", store::kKindChannel, std::move(list));
  }

  uint8_t Read(const std::string& document) {
    store::TTreeNodeExt* out = nullptr;
    return processor.ProcessFeedDocument(node, out, document, "", formats::kFeedUpdate, false, {});
  }

  settings::Settings settings = settings::DefaultSettings(0);
  store::ChannelStore store{settings};
  platform::SilentDialogs dialogs;
  formats::XmlContext xml;
  formats::FeedProcessor processor{formats::FeedServices{store, settings, dialogs, xml}};
  store::TTreeNodeExt* node = nullptr;
};

const std::string& RssMegabyte() {
  static const std::string feed = RssFeed(500, 600);
  return feed;
}

const std::string& AtomMegabyte() {
  static const std::string feed = AtomFeed(500, 560);
  return feed;
}

void ProcessIntoEmptyChannel(benchmark::State& state, const std::string& document) {
  size_t items = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto reader = std::make_unique<Reader>();
    state.ResumeTiming();
    if (reader->Read(document) != formats::kFeedNewItems) state.SkipWithError("the feed was not read");
    items = reader->node->Data()->Count();
    state.PauseTiming();
    reader.reset();
    state.ResumeTiming();
  }
  state.counters["items"] = static_cast<double>(items);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document.size()));
}

void BM_ProcessRss1MB(benchmark::State& state) {
  ProcessIntoEmptyChannel(state, RssMegabyte());
}
BENCHMARK(BM_ProcessRss1MB)->Unit(benchmark::kMillisecond);

void BM_ProcessAtom1MB(benchmark::State& state) {
  ProcessIntoEmptyChannel(state, AtomMegabyte());
}
BENCHMARK(BM_ProcessAtom1MB)->Unit(benchmark::kMillisecond);

void ParseOnly(benchmark::State& state, const std::string& document) {
  for (auto _ : state) {
    platform::XmlLoadResult result = platform::ParseXml(document);
    if (!result.document) state.SkipWithError("the feed did not load");
    benchmark::DoNotOptimize(result.document);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document.size()));
}

void BM_LibxmlTreeRss1MB(benchmark::State& state) {
  ParseOnly(state, RssMegabyte());
}
BENCHMARK(BM_LibxmlTreeRss1MB)->Unit(benchmark::kMillisecond);

void BM_LibxmlTreeAtom1MB(benchmark::State& state) {
  ParseOnly(state, AtomMegabyte());
}
BENCHMARK(BM_LibxmlTreeAtom1MB)->Unit(benchmark::kMillisecond);

// A channel that holds its 200 items already reads the same feed again: the everyday case
// of an update run.
void BM_MergeUnchangedRefetch200(benchmark::State& state) {
  static const std::string feed = RssFeed(200, 300);
  Reader reader;
  reader.settings.ItemMax = 200;
  if (reader.Read(feed) != formats::kFeedNewItems) state.SkipWithError("the feed was not read");
  for (auto _ : state) {
    if (reader.Read(feed) != formats::kFeedUnchanged) state.SkipWithError("the re-fetch changed the channel");
  }
  state.counters["items"] = static_cast<double>(reader.node->Data()->Count());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * feed.size()));
}
BENCHMARK(BM_MergeUnchangedRefetch200)->Unit(benchmark::kMillisecond);

// The items of a big feed as its parser hands them to the merge, newest first: a Japanese
// title with the item's number, its own address, a short description and a date.
std::vector<store::TSiteRecord> BigFeedItems(int count) {
  std::vector<store::TSiteRecord> items;
  items.reserve(static_cast<size_t>(count));
  for (int i = count - 1; i >= 0; --i) {
    store::TSiteRecord item;
    item.title = text::Utf8ToSjis(JapaneseText(i, 12) + " " + std::to_string(i));
    item.link = "http://bench.example.jp/archive/" + std::to_string(i) + ".html";
    item.desc = text::Utf8ToSjis(JapaneseText(i + 1, 24));
    item.pubdate = "2024-05-10T10:00:00+09:00";
    item.modified = 45000 + i / 1440.0;
    items.push_back(std::move(item));
  }
  return items;
}

// A channel without an item limit that holds every item of the big feed, oldest first,
// as the first fetch left it.
struct BigChannel {
  explicit BigChannel(const std::vector<store::TSiteRecord>& feed) {
    settings.ItemMax = 0;
    settings.DateMax = 0;
    auto list = std::make_unique<store::TSiteList>();
    list->Site.rdfurl = "http://bench.example.jp/feed";
    node = store.Tree().AddChild(store.Tree().RootNode(), "big", store::kKindChannel, std::move(list));
    for (auto item = feed.rbegin(); item != feed.rend(); ++item) store.AddItemToChannel(*node->Data(), *item);
  }

  // One re-fetch: a run over the channel, every item of the document handed to the merge
  // in document order until the merge says that the rest is known.
  size_t Refetch(const std::vector<store::TSiteRecord>& feed, size_t& added) {
    formats::FeedRun run(store, settings, *node->Data());
    run.Now = 45100;
    formats::StartFeedRun(run);
    for (const store::TSiteRecord& item : feed) {
      if (run.Stop) break;
      formats::MergeItem(item, run);
    }
    added = run.AddedCount;
    return run.TitledCount;
  }

  settings::Settings settings = settings::DefaultSettings(0);
  store::ChannelStore store{settings};
  store::TTreeNodeExt* node = nullptr;
};

// The same big feed fetched again: every item is known and the read stops once half of the
// stored items were met unchanged. With an edited feed (every description changed), no
// item stops the read, and every item of the document is compared with the stored ones.
void MergeBigRefetch(benchmark::State& state, bool edited) {
  std::vector<store::TSiteRecord> feed = BigFeedItems(static_cast<int>(state.range(0)));
  BigChannel channel(feed);
  if (edited) {
    for (store::TSiteRecord& item : feed) item.desc += "!";
  }
  size_t read = 0;
  size_t added = 0;
  for (auto _ : state) {
    read = channel.Refetch(feed, added);
    if (added != 0) state.SkipWithError("the re-fetch added items");
  }
  state.counters["stored"] = static_cast<double>(channel.node->Data()->Count());
  state.counters["read"] = static_cast<double>(read);
}

void BM_MergeRefetchUnlimited(benchmark::State& state) {
  MergeBigRefetch(state, false);
}
BENCHMARK(BM_MergeRefetchUnlimited)->Arg(50000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_MergeRefetchEditedUnlimited(benchmark::State& state) {
  MergeBigRefetch(state, true);
}
BENCHMARK(BM_MergeRefetchEditedUnlimited)->Arg(50000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The whole path of the same case: a 100,000-item RSS document read again into the channel
// that holds its items, XML parsing and all.
void BM_ProcessRefetchUnlimited(benchmark::State& state) {
  static const std::string feed = RssFeed(static_cast<int>(state.range(0)), 20);
  Reader reader;
  if (reader.Read(feed) != formats::kFeedNewItems) state.SkipWithError("the feed was not read");
  for (auto _ : state) {
    if (reader.Read(feed) != formats::kFeedUnchanged) state.SkipWithError("the re-fetch changed the channel");
  }
  state.counters["items"] = static_cast<double>(reader.node->Data()->Count());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * feed.size()));
}
BENCHMARK(BM_ProcessRefetchUnlimited)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
