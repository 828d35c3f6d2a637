// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "formats/xml/TParseError.h"

// The texts an update run shows: the summary balloon, the tray tip, the status line, the
// captions, and the error log's titles and details. All code page 932, exactly as the
// program has always shown them.
namespace fetch {

// The error kinds of the error log: the result codes of feed processing that mean a
// failure, and the failed fetch (7). Every other code is an unknown error.
inline constexpr int kErrorInternal = 6;
inline constexpr int kErrorNoResponse = 7;
inline constexpr int kErrorBadXml = 8;
inline constexpr int kErrorNotAFeed = 9;

// The title of an error log entry begins with this, followed by " - " and the channel.
std::string ErrorTitlePrefix(int kind);

// The message of a failure of that kind, shown when a failure is reported in a box.
std::string ErrorMessageText(int kind);

// The box that reports a failure the user is waiting for (a registration): the kind's
// message, then what happened on a line of its own when that is known, an empty line, and
// the address in double quotation marks.
std::string ErrorReportText(int kind, const std::string& cause, const std::string& address);

// The entry of a channel whose address moved for good to another site while it had a
// user name and password: its title before " - " and the channel, and its description
// (HTML) naming both addresses.
std::string CredentialsWithheldTitle();
std::string CredentialsWithheldDetail(const std::string& oldAddress, const std::string& newAddress);

// The description of an error log entry for a document that did not load as XML: the
// parser's reason, code, line, position and the source text around the error (escaped
// for the page that shows it). Empty when the load recorded no error.
std::string ParseErrorDetail(const formats::TParseError& error);

// The balloon after a run; empty when there is nothing to say (no new item, no alert
// match and no failure).
std::string RunSummaryText(int newItems, int alertMatches, int errors, bool cancelled, bool keepList);

// The tip of the notification-area icon after a run; `lastRunTime` 0 leaves out the line
// of the last run.
std::string TrayTipText(const std::string& programTitle, double lastRunTime);

// A local date-time (days since 1899-12-30) as "mm/dd hh:nn".
std::string FormatMonthDayTime(double dateTime);

// The status line while a channel is checked: " 確認中 : " + caption + " …".
std::string CheckingText(const std::string& caption);

// The title of the application while a run fetches ("更新中･･･"), the update button's
// captions, and the question asked when the system is offline.
std::string UpdatingTitle();
std::string StopCaption();
std::string UpdateCaption();
std::string OfflineQuestion();

// The question before the subscriptions of a whole group are stopped (`stop`) or resumed.
std::string GroupSubscriptionQuestion(bool stop);

}  // namespace fetch
