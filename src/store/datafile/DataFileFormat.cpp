// SPDX-License-Identifier: MIT
#include "store/datafile/DataFileFormat.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace store::datafile {

void AppendEscaped(std::string& out, std::string_view value) {
  // Most values hold no control character at all and are copied in one piece.
  const bool plain = std::memchr(value.data(), '\t', value.size()) == nullptr &&
                     std::memchr(value.data(), '\r', value.size()) == nullptr &&
                     std::memchr(value.data(), '\n', value.size()) == nullptr;
  if (plain) {
    out.append(value);
    return;
  }
  for (size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (c == '\t') continue;
    if (c == '\r') {
      // A CR LF pair becomes a single TAB, like a lone CR or LF. TABs between the CR and
      // the LF are removed first, so they do not split the pair.
      size_t next = i + 1;
      while (next < value.size() && value[next] == '\t') ++next;
      if (next < value.size() && value[next] == '\n') i = next;
      out.push_back('\t');
    } else if (c == '\n') {
      out.push_back('\t');
    } else {
      out.push_back(c);
    }
  }
}

void UnescapeInPlace(std::string& value) {
  for (char& c : value) {
    if (c == '\t') c = '\r';
  }
}

void AppendDayNumber(std::string& out, double dayNumber) {
  if (!std::isfinite(dayNumber)) dayNumber = 0;
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, dayNumber, std::chars_format::general, 15);
  out.append(text, result.ptr);
}

std::string FormatDayNumber(double dayNumber) {
  std::string text;
  AppendDayNumber(text, dayNumber);
  return text;
}

std::string HeaderText(uint64_t nodeCount) {
  char text[16];
  const auto digits = static_cast<unsigned>(nodeCount % 1000000);
  std::string result = "[";
  std::to_chars_result r = std::to_chars(text, text + sizeof text, digits);
  result.append(6 - static_cast<size_t>(r.ptr - text), '0');
  result.append(text, r.ptr);
  result.push_back(']');
  return result;
}

std::string FlagValue(int depth, int kind) {
  const auto threeDigits = [](int value) {
    const int v = ((value % 1000) + 1000) % 1000;
    const char digits[3] = {static_cast<char>('0' + v / 100), static_cast<char>('0' + v / 10 % 10),
                            static_cast<char>('0' + v % 10)};
    return std::string(digits, 3);
  };
  return threeDigits(depth) + threeDigits(kind);
}

int64_t ParseTolerantInt(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  constexpr int64_t kLimit = std::numeric_limits<int64_t>::max();
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const int digit = text[i] - '0';
    value = value > (kLimit - digit) / 10 ? kLimit : value * 10 + digit;
  }
  return negative ? -value : value;
}

double ParseDayNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i < text.size() && text[i] == '+') ++i;
  double value = 0;
  const auto result = std::from_chars(text.data() + i, text.data() + text.size(), value, std::chars_format::general);
  if (result.ec != std::errc() || !std::isfinite(value)) return 0;
  return value;
}

}  // namespace store::datafile
