// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "store/TSiteRecord.h"

// The fixed columns of the headline list, its two filters and the helpers that draw a
// row: pure functions, so the window and the tests see the same rules.
namespace present {

enum HeadlineColumn : int {
  kColumnState = 0,     // the state icon; sorted by `read`
  kColumnModified = 1,  // "更新日"; sorted by `modified` alone
  kColumnTitle = 2,     // "タイトル"
  kColumnChannel = 3,   // "チャンネル": shows the tree caption, sorts by the feed's title
  kColumnCategory = 4,  // "カテゴリ"
  kColumnCreator = 5,   // "作者"
};
inline constexpr int kColumnCount = 6;

// The read-state filter's values: all, read only, unread only, protected only.
inline constexpr int kReadFilterAll = 0;
inline constexpr int kReadFilterRead = 1;
inline constexpr int kReadFilterUnread = 2;
inline constexpr int kReadFilterProtected = 3;

// The date filter's choices ("全ての日付", "２４時間以内", "３日以内", "１週間以内") and the
// age in days each stands for.
inline constexpr std::array<int, 4> kDateFilterDays = {0, 1, 3, 7};

// The choice a stored date filter value shows: 0 → 0, 1 → 1, 2..3 → 2, 4..7 → 3; other
// values show "全ての日付".
int DateFilterIndex(int value);

// The stored value of a choice; 0 for an index out of range.
int DateFilterValue(int index);

// Whether the read-state filter lets an item in state `read` through.
bool ReadFilterPasses(int filter, uint8_t read);

// Whether an item dated `modified` is younger than `days` at `now` (0 days: any age).
// Measured in whole milliseconds, so an item exactly three days old is not within three
// days.
bool DateFilterPasses(int days, double modified, double now);

// The caption of a column's header ("" for the icon column).
std::string ColumnCaption(int column);

// `modified` as "mm/dd hh:nn" into `out` (cleared first; left empty for a date that is
// not a number or beyond any calendar).
void FormatListDate(double modified, std::string& out);

// The icon of a row: error log entries have their own; the others show their state, in
// a second set when the item has a saved web archive.
enum class RowIcon {
  kError,
  kUnread,
  kRead,
  kProtected,
  kUnreadArchive,
  kReadArchive,
  kProtectedArchive,
};
RowIcon RowIconFor(const store::TSiteRecord& item);

// A sort key whose plain byte order is the order of text::CompareTextJ: every character
// becomes two bytes of its upper-cased code. Built once per list instead of folding case
// in every comparison.
void AppendSortKey(std::string_view text, std::string& key);

}  // namespace present
