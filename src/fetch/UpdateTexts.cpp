// SPDX-License-Identifier: MIT
#include "fetch/UpdateTexts.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "store/DateTime.h"
#include "text/Cut.h"
#include "text/Html.h"
#include "text/Literal.h"

namespace fetch {
namespace {

const std::string kCrLf = "\r\n";

}  // namespace

std::string ErrorTitlePrefix(int kind) {
  switch (kind) {
    case kErrorInternal:
      return text::J("システム異常");
    case kErrorNoResponse:
      return text::J("応答無し");
    case kErrorBadXml:
      return text::J("XMLフォーマットが不正");
    case kErrorNotAFeed:
      return text::J("Feedフォーマットが不正");
    default:
      return text::J("原因不明のエラー");
  }
}

std::string ErrorMessageText(int kind) {
  switch (kind) {
    case kErrorInternal:
      return text::J("システムが異常です。");
    case kErrorNoResponse:
      return text::J("指定のURLは応答がありません。");
    case kErrorBadXml:
      return text::J("指定のXMLの形式は不正です。");
    case kErrorNotAFeed:
      return text::J("指定のFeedデータの形式は不正です。");
    default:
      return text::J("原因不明のエラーが発生しました。");
  }
}

std::string ErrorReportText(int kind, const std::string& cause, const std::string& address) {
  std::string report = ErrorMessageText(kind);
  if (!cause.empty()) report += kCrLf + cause;
  return report + kCrLf + kCrLf + "\"" + address + "\"";
}

std::string CredentialsWithheldTitle() {
  return text::J("認証情報の確認が必要");
}

std::string CredentialsWithheldDetail(const std::string& oldAddress, const std::string& newAddress) {
  return text::J("このチャンネルのアドレスは別のサイトへ恒久的に移動しました (301 Moved Permanently)。") + "<br>" +
         text::J("ユーザー名とパスワードは移動先に送らず、移動元のサイト用として保存しています。") + "<br>" +
         text::J("移動先のサイトにも送ってよい場合は、プロパティで確認して「適用」してください。") + "<br><br>" +
         text::J("移動元 > ") + text::HtmlEscape(oldAddress, false) + "<br>" + text::J("移動先 > ") +
         text::HtmlEscape(newAddress, false);
}

std::string ParseErrorDetail(const formats::TParseError& error) {
  if (error.ErrorCode == 0) return {};
  // The separators before the line and the position are two full-width spaces each.
  const std::string wideGap = text::J("　　");
  return text::TrimJ(error.Reason) + "<br><br>" + text::J("エラーコード > ") + std::to_string(error.ErrorCode) +
         wideGap + text::J("行 > ") + std::to_string(error.Line) + wideGap + text::J("位置 > ") +
         std::to_string(error.LinePos) + "<br><br>" + text::J("内容 > ") + "\"" +
         text::TrimJ(text::HtmlEscape(error.SrcText, false)) + "\"";
}

std::string RunSummaryText(int newItems, int alertMatches, int errors, bool cancelled, bool keepList) {
  if (newItems <= 0 && alertMatches <= 0 && errors <= 0) return {};
  std::string summary;
  if (newItems > 0) {
    summary = text::J("新着情報が ") + std::to_string(newItems) + text::J(" 件あります。");
    // The new items stand apart from what follows by an empty line.
    if (alertMatches > 0 || errors > 0) summary += kCrLf;
  }
  const auto addLine = [&summary](const std::string& line) {
    if (!summary.empty()) summary += kCrLf;
    summary += line;
  };
  if (alertMatches > 0) {
    addLine(text::J("検索キーワードに一致する項目が ") + std::to_string(alertMatches) + text::J(" 件ありました。"));
  }
  if (errors > 0) addLine(text::J("更新に失敗した項目が ") + std::to_string(errors) + text::J(" 件ありました。"));
  if (cancelled) addLine(text::J("ユーザーにより更新がキャンセルされました。"));
  if (keepList) summary += kCrLf + kCrLf + text::J("閲覧中の可能性がありますのでリストの再読込は行いません。");
  return summary;
}

std::string FormatMonthDayTime(double dateTime) {
  if (!std::isfinite(dateTime)) return "00/00 00:00";
  // Whole milliseconds first, so that 10:00 stored as 9:59:59.9999 still reads 10:00.
  const store::CivilDateTime parts = store::CivilDateTimeOf(dateTime);
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%02d/%02d %02d:%02d", parts.date.month, parts.date.day, parts.hour,
                parts.minute);
  return buffer;
}

std::string TrayTipText(const std::string& programTitle, double lastRunTime) {
  std::string tip = programTitle + kCrLf + text::J("左クリックで表示/非表示") + kCrLf + text::J("右クリックでメニュー");
  if (lastRunTime != 0) tip += kCrLf + kCrLf + text::J("最終更新 ") + FormatMonthDayTime(lastRunTime);
  return tip;
}

std::string CheckingText(const std::string& caption) {
  return text::J(" 確認中 : ") + caption + text::J(" …");
}

std::string UpdatingTitle() {
  return text::J("更新中･･･");
}

std::string StopCaption() {
  return text::J("停止");
}

std::string UpdateCaption() {
  return text::J("更新");
}

std::string OfflineQuestion() {
  return text::J("Plover は現在オフライン状態です オンラインにしますか？");
}

std::string GroupSubscriptionQuestion(bool stop) {
  return text::J("選択されているグループ内の全てのチャンネルの") + text::J(stop ? "購読を中止" : "購読を開始") +
         text::J("しますか？");
}

}  // namespace fetch
