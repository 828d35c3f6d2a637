// SPDX-License-Identifier: MIT
// "plover-cli parse": one feed document read as the update of a new channel, printed as
// JSON, so that scripts and people can see exactly what the program makes of a feed. The
// document is a file, or a web address fetched as the program fetches its feeds.
#include <cstdio>
#include <string>
#include <string_view>

#include "cli/CommandError.h"
#include "cli/Commands.h"
#include "cli/ConsoleDialogs.h"
#include "cli/Output.h"
#include "fetch/HttpDocumentSource.h"
#include "fetch/HttpSettings.h"
#include "formats/feeds/DocumentSource.h"
#include "formats/feeds/FeedDate.h"
#include "formats/feeds/FeedProcessor.h"
#include "platform/Ascii.h"
#include "platform/CodePage.h"
#include "settings/Settings.h"
#include "store/ChannelStore.h"
#include "store/datafile/DataFileFormat.h"
#include "text/Convert.h"
#include "text/Literal.h"

namespace cli {
namespace {

using store::TSiteRecord;

// A JSON string of a code page 932 text: kept character references become characters
// again, and the text is UTF-8.
void AppendJsonString(std::string& out, std::string_view sjis) {
  const std::string utf8 = platform::Cp932ToUtf8(sjis, platform::CharRefs::kDecode);
  static constexpr char kHex[] = "0123456789abcdef";
  out.push_back('"');
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(c);
    } else if (byte < 0x20) {
      out += "\\u00";
      out.push_back(kHex[byte >> 4]);
      out.push_back(kHex[byte & 0x0F]);
    } else {
      out.push_back(c);
    }
  }
  out.push_back('"');
}

class JsonObject {
 public:
  explicit JsonObject(std::string& out) : out_(out) { out_.push_back('{'); }
  ~JsonObject() { out_.push_back('}'); }

  void Text(std::string_view key, std::string_view sjis) {
    Key(key);
    AppendJsonString(out_, sjis);
  }
  void Number(std::string_view key, const std::string& number) {
    Key(key);
    out_ += number;
  }
  void Key(std::string_view key) {
    if (!first_) out_.push_back(',');
    first_ = false;
    out_.push_back('"');
    out_ += key;
    out_ += "\":";
  }

 private:
  std::string& out_;
  bool first_ = true;
};

void AppendChannel(std::string& out, const TSiteRecord& site) {
  JsonObject object(out);
  object.Text("rdfurl", site.rdfurl);
  object.Text("imgurl", site.imgurl);
  object.Text("imgtitle", site.imgtitle);
  object.Text("imglink", site.imglink);
  object.Text("title", site.title);
  object.Text("link", site.link);
  object.Text("desc", site.desc);
  object.Text("de_cd", site.de_cd);
  object.Text("encoded", site.encoded);
  object.Text("en_cd", site.en_cd);
  object.Text("creator", site.creator);
  object.Text("category", site.category);
  object.Text("pubdate", site.pubdate);
  object.Number("modified", store::datafile::FormatDayNumber(site.modified));
}

void AppendItem(std::string& out, const TSiteRecord& item) {
  JsonObject object(out);
  object.Text("title", item.title);
  object.Text("link", item.link);
  object.Text("desc", item.desc);
  object.Text("de_cd", item.de_cd);
  object.Text("encoded", item.encoded);
  object.Text("en_cd", item.en_cd);
  object.Text("creator", item.creator);
  object.Text("category", item.category);
  object.Text("pubdate", item.pubdate);
  object.Number("modified", store::datafile::FormatDayNumber(item.modified));
  object.Text("commurl", item.commurl);
  object.Number("commnum", std::to_string(item.commnum));
  object.Text("enclose", item.enclose);
  object.Text("xmlbase", item.xmlbase);
  object.Number("read", std::to_string(item.read));
}

// What a result code means, for the standard error stream.
std::string ResultMeaning(uint8_t result, const formats::XmlContext& xml) {
  switch (result) {
    case formats::kFeedUnchanged:
      return text::J("変更はありません");
    case formats::kFeedChanged:
      return text::J("項目が変わりました");
    case formats::kFeedNewItems:
      return text::J("新しい未読の項目があります");
    case formats::kFeedNoDocument:
      return text::J("読み込む内容がありません");
    case formats::kFeedTreeChanged:
      return text::J("OPMLとして読み込みました (フィードではありません)");
    case formats::kFeedFetchFailed:
      return text::J("文書を読み込めませんでした");
    case formats::kFeedBadXml:
      return text::J("XMLとして読み込めませんでした (") + std::to_string(xml.ParseError.Line) + text::J("行目: ") +
             xml.ParseError.Reason + ")";
    case formats::kFeedNotAFeed:
      return text::J("フィードではありません");
    default:
      return text::J("内部エラーが発生しました");
  }
}

// An address given on the command line (UTF-8) as the program's text; bytes that are not
// UTF-8 are taken as they are.
std::string AddressText(const std::string& utf8) {
  const std::string converted = text::Utf8ToSjis(utf8);
  return converted.empty() ? utf8 : converted;
}

// Whether an operand is a web address ("http://" or "https://", in any case) rather than
// a file name.
bool IsWebAddress(std::string_view operand) {
  return platform::StartsWithAsciiNoCase(operand, "http://") || platform::StartsWithAsciiNoCase(operand, "https://");
}

// A failure to get the document: the message, and what happened on a second line.
[[noreturn]] void FailToGet(const std::string& message, const formats::FetchResult& result) {
  throw CommandError(result.cause.empty() ? message : message + "\n" + result.cause);
}

// The document at a web address, fetched with the default settings: the system's proxy
// settings and the usual time-outs. A user name and password written into the address are
// sent as its Basic authorization, to its origin only. A fetch that gives no document
// ends the command.
std::string FetchWebDocument(const settings::Settings& settings, const formats::AddressCredentials& address) {
  fetch::HttpDocumentSource network(fetch::HttpSettings::FromSettings(settings, fetch::AgentKind::kMain));
  formats::FetchRequest request;
  request.address = address.address;
  if (address.found) request.authorization = address.user + ":" + address.password;
  formats::FetchResult result = network.FetchDocument(request);
  if (result.status == formats::FetchResult::Status::kDocument) return std::move(result.bytes);
  // An answer other than a document has no message of its own; its status tells why.
  const std::string reason = !result.message.empty() ? result.message : "HTTP " + std::to_string(result.httpStatus);
  FailToGet(text::J("文書を取得できませんでした: ") + address.address + " (" + reason + ")", result);
}

// The document the operand names: a web address fetched, or a file read. Only a regular
// file of a feed's size is read: /dev/zero or a pipe would never end.
std::string ReadDocument(const settings::Settings& settings, const std::string& operand) {
  if (IsWebAddress(operand)) return FetchWebDocument(settings, formats::SplitAddressCredentials(AddressText(operand)));
  formats::FetchResult read = formats::ReadLocalDocument(operand);
  if (read.status != formats::FetchResult::Status::kDocument) {
    FailToGet(text::J("ファイルを読み込めませんでした: ") + PathText(operand), read);
  }
  return std::move(read.bytes);
}

}  // namespace

int RunParse(const CommandContext& context, const CommandArguments& arguments) {
  if (arguments.operands.empty()) throw CommandError(text::J("フィードのファイルを指定してください。"), kExitUsage);
  const std::string& file = arguments.operands.front();
  settings::Settings settings;
  // Without --all the default keep limits apply, as to any new channel; with it every
  // item of the document is listed, however old and however many (0 means no limit).
  if (arguments.Has("--all")) settings.ItemMax = settings.DateMax = 0;
  const std::string document = ReadDocument(settings, file);
  // The channel's address is printed: a password written into it is not.
  const std::string address = formats::WithoutCredentials(AddressText(arguments.Value("--url").value_or(file)));

  // A fresh channel in an empty tree, with the default settings, updated once.
  store::ChannelStore store(settings);
  store::TTreeNodeExt* channel = store.Tree().AddChild(store.Tree().RootNode(), address, store::kKindChannel,
                                                       std::make_unique<store::TSiteList>());
  channel->Data()->Site.rdfurl = address;
  ConsoleDialogs dialogs(AnswersFor(context));
  formats::XmlContext xml;
  formats::FeedServices services{store, settings, dialogs, xml};
  services.LocalZone = formats::ZoneRules::Machine();
  formats::FeedProcessor processor(services);
  store::TTreeNodeExt* outNode = nullptr;
  const uint8_t result = processor.ProcessFeedDocument(channel, outNode, document, address, formats::kFeedUpdate, false,
                                                       formats::TDefParamType{});

  std::string json;
  {
    JsonObject object(json);
    object.Number("result", std::to_string(result));
    if (channel->Data() != nullptr) {
      object.Key("channel");
      AppendChannel(json, channel->Data()->Site);
      object.Key("items");
      json.push_back('[');
      const auto& items = channel->Data()->Items();
      for (size_t i = 0; i < items.size(); ++i) {
        if (i != 0) json.push_back(',');
        AppendItem(json, *items[i]);
      }
      json.push_back(']');
    }
  }
  json.push_back('\n');
  WriteBytes(stdout, json);
  const bool read =
      result == formats::kFeedUnchanged || result == formats::kFeedChanged || result == formats::kFeedNewItems;
  if (read) return kExitOk;
  PrintLine(stderr, ResultMeaning(result, xml));
  return kExitFailed;
}

}  // namespace cli
