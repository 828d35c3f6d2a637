// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

// Conversions between code page 932 (the program's own text), UTF-16, UTF-8 and
// EUC-JP-MS. Code page 932 is converted with tables taken from glibc iconv at build time
// (exactly the codes Windows defines); EUC-JP-MS goes through iconv at run time.
namespace platform {

// What the encoder writes for a character that code page 932 has no code for.
enum class Unmappable {
  kQuestionMark,  // "?", as the Windows conversion does
  kCharRef,       // a decimal character reference "&#N;", so nothing is lost
};

// What the decoder does with decimal character references found in the text.
enum class CharRefs {
  kKeep,    // leave them as text
  kDecode,  // turn "&#N;" back into the character (for showing text)
};

// A look-alike for a character code page 932 has no code for (the character itself when
// there is none), tried before the character is written as "?" or a reference.
using RepairFunction = char32_t (*)(char32_t);

// The Windows lead-byte test of code page 932: 0x81..0x9F and 0xE0..0xFC.
constexpr bool IsLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// True when the code (a single byte, or lead << 8 | trail) is defined in code page 932.
bool IsDefinedCp932(unsigned code);

// The UTF-16 code unit of a code page 932 code (single byte, or lead << 8 | trail), or 0.
char16_t DecodeCp932(unsigned code);

// The code page 932 code of a character, or 0 when there is none (also for 0 itself).
unsigned EncodeCp932(char32_t ch);

// Code page 932 to UTF-16. Undefined codes become U+30FB, as on Windows; a lead byte
// without a valid trail byte becomes U+30FB and the next byte is read on its own.
std::u16string Cp932ToUtf16(std::string_view text, CharRefs refs = CharRefs::kKeep);

// UTF-16 to code page 932. An unpaired surrogate counts as U+FFFD, which has no code.
// `lossy`, when given, is set when at least one character had no code. A character
// without a code is first offered to `repair`, when given.
std::string Utf16ToCp932(std::u16string_view text, Unmappable mode, bool* lossy = nullptr,
                         RepairFunction repair = nullptr);

// Code page 932 to UTF-8 (same rules as Cp932ToUtf16).
std::string Cp932ToUtf8(std::string_view text, CharRefs refs = CharRefs::kKeep);

// UTF-8 to code page 932. Returns false (and leaves `out` empty) for malformed UTF-8:
// overlong forms, surrogates, code points above U+10FFFF, truncated sequences. A character
// without a code is first offered to `repair`, when given.
bool Utf8ToCp932(std::string_view utf8, Unmappable mode, std::string& out, RepairFunction repair = nullptr);

bool IsValidUtf8(std::string_view utf8);

// UTF-8 and UTF-16 of one another; malformed input gives U+FFFD for each bad unit.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view text);

// Appends the UTF-8 form of one code point.
void AppendUtf8(std::string& out, char32_t ch);

// One EUC-JP-MS character (two or three bytes) as code page 932, through iconv; empty
// when iconv does not know it. Characters without a code page 932 code come back as a
// character reference.
std::string EucJpMsCharToCp932(std::string_view eucChar);

// One code page 932 character (two bytes) as EUC-JP-MS, through iconv; empty when there
// is no EUC-JP-MS form.
std::string Cp932CharToEucJpMs(std::string_view sjisChar);

// Length in bytes of a decimal character reference "&#N;" (1 to 7 digits, value at most
// 0x10FFFF, not a surrogate) starting at `pos`, or 0 when none starts there. `value` receives the code point.
size_t CharRefLengthAt(std::string_view text, size_t pos, char32_t* value = nullptr);

}  // namespace platform
