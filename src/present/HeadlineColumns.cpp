// SPDX-License-Identifier: MIT
#include "present/HeadlineColumns.h"

#include <algorithm>
#include <cmath>

#include "platform/CodePage.h"
#include "store/DateTime.h"
#include "text/CaseFold.h"
#include "text/Cut.h"
#include "text/Literal.h"

namespace present {

int DateFilterIndex(int value) {
  static constexpr std::array<int, 8> kIndexOfValue = {0, 1, 2, 2, 3, 3, 3, 3};
  if (value < 0 || value >= static_cast<int>(kIndexOfValue.size())) return 0;
  return kIndexOfValue[static_cast<size_t>(value)];
}

int DateFilterValue(int index) {
  if (index < 0 || index >= static_cast<int>(kDateFilterDays.size())) return 0;
  return kDateFilterDays[static_cast<size_t>(index)];
}

bool ReadFilterPasses(int filter, uint8_t read) {
  switch (filter) {
    case kReadFilterRead:
      return read == store::kStateRead;
    case kReadFilterUnread:
      return read == store::kStateUnread;
    case kReadFilterProtected:
      return read == store::kStateProtected;
    default:
      return true;
  }
}

bool DateFilterPasses(int days, double modified, double now) {
  if (days == 0) return true;
  return store::MillisecondsBetween(modified, now) < static_cast<int64_t>(days) * store::kMillisecondsPerDay;
}

std::string ColumnCaption(int column) {
  switch (column) {
    case kColumnModified:
      return text::J("更新日");
    case kColumnTitle:
      return text::J("タイトル");
    case kColumnChannel:
      return text::J("チャンネル");
    case kColumnCategory:
      return text::J("カテゴリ");
    case kColumnCreator:
      return text::J("作者");
    default:
      return std::string();
  }
}

namespace {

void AppendTwoDigits(int value, std::string& out) {
  out.push_back(static_cast<char>('0' + value / 10 % 10));
  out.push_back(static_cast<char>('0' + value % 10));
}

}  // namespace

void FormatListDate(double modified, std::string& out) {
  out.clear();
  // About 270 000 years either way: far beyond any feed's date, and safe for the sums.
  if (!std::isfinite(modified) || std::fabs(modified) > 1e8) return;
  const store::CivilDateTime parts = store::CivilDateTimeOf(modified);
  AppendTwoDigits(parts.date.month, out);
  out.push_back('/');
  AppendTwoDigits(parts.date.day, out);
  out.push_back(' ');
  AppendTwoDigits(parts.hour, out);
  out.push_back(':');
  AppendTwoDigits(parts.minute, out);
}

RowIcon RowIconFor(const store::TSiteRecord& item) {
  if (item.StatusEntry != 0) return RowIcon::kError;
  const bool archived = !item.mht.empty();
  switch (item.read) {
    case store::kStateRead:
      return archived ? RowIcon::kReadArchive : RowIcon::kRead;
    case store::kStateProtected:
      return archived ? RowIcon::kProtectedArchive : RowIcon::kProtected;
    default:
      return archived ? RowIcon::kUnreadArchive : RowIcon::kUnread;
  }
}

void AppendSortKey(std::string_view text, std::string& key) {
  // Grows geometrically: callers append many keys to one buffer.
  const size_t needed = key.size() + text.size() * 2;
  if (key.capacity() < needed) key.reserve(std::max(needed, key.capacity() * 2));
  size_t pos = 0;
  while (pos < text.size()) {
    const auto c = static_cast<unsigned char>(text[pos]);
    unsigned code = 0;
    if (c < 0x80) {
      code = static_cast<unsigned>(c >= 'a' && c <= 'z' ? c - 0x20 : c) << 8;
      ++pos;
    } else if (platform::IsLeadByte(c) && pos + 1 < text.size() &&
               text::IsTrailByte(static_cast<unsigned char>(text[pos + 1]))) {
      code = text::UpperCaseCode(c << 8 | static_cast<unsigned char>(text[pos + 1]));
      pos += 2;
    } else {
      code = static_cast<unsigned>(c) << 8;
      ++pos;
    }
    key.push_back(static_cast<char>(code >> 8));
    key.push_back(static_cast<char>(code & 0xFF));
  }
}

}  // namespace present
