// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The value forms of plover.dat, shared by its writer and its parser. The file is code
// page 932 text with CR LF line ends: a header "[nnnnnn]" with the count of node
// records, then records made of a line "flag:LLLKKK" (depth and kind, three digits each),
// field lines "key:value" and a line "*". A field is written only when its value is not
// empty, 0 or a zero date-time.
namespace store::datafile {

inline constexpr std::string_view kLineEnd = "\r\n";
inline constexpr std::string_view kRecordEnd = "*";
inline constexpr std::string_view kHeaderPlaceholder = "[000000]";

// The deepest depth a file may use. Deeper records cannot be placed and end the parse,
// like a depth below 1.
inline constexpr int kMaxDepth = 200;

// The record that follows the header: "flag:001020", "itemtotal:" and the number of item
// records in the file, "*". The header counts node records only, so a file cut short at
// an item record would otherwise load as complete. A reader that does not know the kind
// skips the record like any record of an unknown kind, and since it creates no node it
// is not counted in the header.
inline constexpr int kItemTotalKind = 20;
inline constexpr std::string_view kItemTotalKey = "itemtotal";

// Appends a string value as it is stored: every TAB is removed, then every CR LF, lone CR
// and lone LF becomes one TAB, so a value always stays on its line.
void AppendEscaped(std::string& out, std::string_view value);

// A stored value read back: every TAB becomes CR (a value that held CR LF comes back with
// CR alone).
void UnescapeInPlace(std::string& value);

// The day number of a date-time as stored: printf's "%.15g" without the locale, i.e. up
// to 15 significant digits, trailing zeros dropped, "." as the decimal separator; 39449.5
// is "39449.5". Values below 1e-4 or from 1e15 on (no real date) take the exponent form
// "1e-05". A value that is not finite is stored as 0.
void AppendDayNumber(std::string& out, double dayNumber);
std::string FormatDayNumber(double dayNumber);

// The header line's text (without the line end): "[" + the count's last six digits with
// leading zeros + "]".
std::string HeaderText(uint64_t nodeCount);

// The value of a flag line: the depth's and the kind's last three digits with leading
// zeros ("001010").
std::string FlagValue(int depth, int kind);

// The lenient number reading of the files: leading spaces, an optional sign and the
// digits that follow; anything after them is ignored, and a text without digits reads
// as 0. Values beyond 64 bits are clamped.
int64_t ParseTolerantInt(std::string_view text);

// A stored day number; anything that is not a finite decimal number reads as 0. Like the
// integers, trailing text after the number is ignored.
double ParseDayNumber(std::string_view text);

// Whether the data file keeps which groups were open. Only where groups open and close
// with the focus (TreeOpen 2) does the last state mean nothing; everywhere else the user
// finds the tree as it was left.
inline bool KeepsExpansion(int treeOpen) {
  return treeOpen != 2;
}

}  // namespace store::datafile
