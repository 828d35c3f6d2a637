// SPDX-License-Identifier: MIT
#include "platform/CodePage.h"

#include <iconv.h>

#include <cstring>

#include "platform/private/Cp932Tables.h"

namespace platform {
namespace {

constexpr char16_t kUndefinedChar = u'\u30FB';

bool IsTrailByte(unsigned char c) {
  return c >= 0x40 && c <= 0xFC && c != 0x7F;
}

void AppendCharRef(std::string& out, char32_t ch) {
  char buffer[16];
  char* end = buffer + sizeof buffer;
  char* p = end;
  *--p = ';';
  do {
    *--p = static_cast<char>('0' + ch % 10);
    ch /= 10;
  } while (ch != 0);
  *--p = '#';
  *--p = '&';
  out.append(p, static_cast<size_t>(end - p));
}

void AppendCode(std::string& out, unsigned code) {
  if (code > 0xFF) {
    const char pair[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    out.append(pair, 2);
  } else {
    out.push_back(static_cast<char>(code));
  }
}

// Appends the code page 932 form of one code point. A character without a code is first
// offered to `repair` (may be null), whose look-alike is written when it has a code.
void AppendCp932(std::string& out, char32_t ch, Unmappable mode, bool& lossy, RepairFunction repair = nullptr) {
  const unsigned code = EncodeCp932(ch);
  if (code != 0 || ch == 0) {
    AppendCode(out, code);
    return;
  }
  lossy = true;
  if (repair != nullptr) {
    const char32_t lookAlike = repair(ch);
    if (lookAlike != ch && EncodeCp932(lookAlike) != 0) {
      AppendCode(out, EncodeCp932(lookAlike));
      return;
    }
  }
  if (mode == Unmappable::kQuestionMark) {
    out.push_back('?');
  } else {
    AppendCharRef(out, ch);
  }
}

// Decodes one character of code page 932 text at `pos`; advances `pos`.
char16_t NextCp932(std::string_view text, size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (IsLeadByte(lead)) {
    if (pos + 1 < text.size() && IsTrailByte(static_cast<unsigned char>(text[pos + 1]))) {
      const unsigned code = lead << 8 | static_cast<unsigned char>(text[pos + 1]);
      pos += 2;
      const char16_t ch = kCp932Decode[code];
      return ch != 0 ? ch : kUndefinedChar;
    }
    ++pos;
    return kUndefinedChar;
  }
  ++pos;
  if (lead == 0) return 0;
  const char16_t ch = kCp932Decode[lead];
  return ch != 0 ? ch : kUndefinedChar;
}

// Walks code page 932 text, calling `emit` with each code point (character references
// decoded when asked).
template <typename Emit>
void WalkCp932(std::string_view text, CharRefs refs, Emit emit) {
  size_t pos = 0;
  while (pos < text.size()) {
    if (refs == CharRefs::kDecode && text[pos] == '&') {
      char32_t value = 0;
      if (const size_t length = CharRefLengthAt(text, pos, &value)) {
        emit(value);
        pos += length;
        continue;
      }
    }
    emit(static_cast<char32_t>(NextCp932(text, pos)));
  }
}

void AppendUtf16(std::u16string& out, char32_t ch) {
  if (ch >= 0x10000) {
    ch -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (ch >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (ch & 0x3FF)));
  } else {
    out.push_back(static_cast<char16_t>(ch));
  }
}

// Reads one character of UTF-16 text at `pos` and advances `pos`. A lone surrogate
// stands for no character and reads as U+FFFD.
char32_t NextUtf16(std::u16string_view text, size_t& pos) {
  const char32_t ch = text[pos++];
  if (ch >= 0xD800 && ch <= 0xDBFF && pos < text.size() && text[pos] >= 0xDC00 && text[pos] <= 0xDFFF) {
    return 0x10000 + ((ch - 0xD800) << 10) + (text[pos++] - 0xDC00);
  }
  return ch >= 0xD800 && ch <= 0xDFFF ? 0xFFFD : ch;
}

// Reads one UTF-8 sequence at `pos`. Returns false for a malformed one (pos then points
// past the offending lead byte).
bool NextUtf8(std::string_view text, size_t& pos, char32_t& ch) {
  const auto b0 = static_cast<unsigned char>(text[pos++]);
  if (b0 < 0x80) {
    ch = b0;
    return true;
  }
  int extra;
  char32_t minimum;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    extra = 1, ch = b0 & 0x1F, minimum = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    extra = 2, ch = b0 & 0x0F, minimum = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    extra = 3, ch = b0 & 0x07, minimum = 0x10000;
  } else {
    return false;
  }
  size_t p = pos;
  for (int i = 0; i < extra; ++i, ++p) {
    if (p >= text.size()) return false;
    const auto b = static_cast<unsigned char>(text[p]);
    if ((b & 0xC0) != 0x80) return false;
    ch = ch << 6 | (b & 0x3F);
  }
  if (ch < minimum || ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF)) return false;
  pos = p;
  return true;
}

// Converts one character with iconv; empty on failure.
std::string IconvOne(const char* to, const char* from, std::string_view in) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  char* inPtr = const_cast<char*>(in.data());
  size_t inLeft = in.size();
  char buffer[32];
  char* outPtr = buffer;
  size_t outLeft = sizeof buffer;
  const size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (result == static_cast<size_t>(-1) || inLeft != 0) return {};
  return std::string(buffer, sizeof buffer - outLeft);
}

}  // namespace

bool IsDefinedCp932(unsigned code) {
  if (code == 0) return true;
  return code < 65536 && kCp932Decode[code] != 0;
}

char16_t DecodeCp932(unsigned code) {
  return code < 65536 ? kCp932Decode[code] : 0;
}

unsigned EncodeCp932(char32_t ch) {
  return ch < 65536 ? kCp932Encode[ch] : 0;
}

size_t CharRefLengthAt(std::string_view text, size_t pos, char32_t* value) {
  if (pos + 3 >= text.size() || text[pos] != '&' || text[pos + 1] != '#') return 0;
  size_t p = pos + 2;
  char32_t number = 0;
  while (p < text.size() && p - pos - 2 < 8 && text[p] >= '0' && text[p] <= '9') {
    number = number * 10 + static_cast<char32_t>(text[p] - '0');
    ++p;
  }
  const size_t digits = p - pos - 2;
  if (digits == 0 || digits > 7 || p >= text.size() || text[p] != ';' || number > 0x10FFFF) return 0;
  // A surrogate on its own is no character; such a reference stays text.
  if (number >= 0xD800 && number <= 0xDFFF) return 0;
  if (value) *value = number;
  return p + 1 - pos;
}

std::u16string Cp932ToUtf16(std::string_view text, CharRefs refs) {
  std::u16string out;
  out.reserve(text.size());
  WalkCp932(text, refs, [&out](char32_t ch) { AppendUtf16(out, ch); });
  return out;
}

std::string Cp932ToUtf8(std::string_view text, CharRefs refs) {
  std::string out;
  out.reserve(text.size() + text.size() / 2);
  size_t pos = 0;
  while (pos < text.size()) {
    // Plain ASCII is the same in both encodings.
    const auto c = static_cast<unsigned char>(text[pos]);
    if (c < 0x80 && !(c == '&' && refs == CharRefs::kDecode)) {
      out.push_back(static_cast<char>(c));
      ++pos;
      continue;
    }
    char32_t ch = 0;
    if (c == '&') {
      if (const size_t length = CharRefLengthAt(text, pos, &ch)) {
        AppendUtf8(out, ch);
        pos += length;
      } else {
        out.push_back('&');
        ++pos;
      }
      continue;
    }
    AppendUtf8(out, NextCp932(text, pos));
  }
  return out;
}

std::string Utf16ToCp932(std::u16string_view text, Unmappable mode, bool* lossy, RepairFunction repair) {
  std::string out;
  out.reserve(text.size() * 2);
  bool anyLoss = false;
  for (size_t i = 0; i < text.size();) AppendCp932(out, NextUtf16(text, i), mode, anyLoss, repair);
  if (lossy) *lossy = anyLoss;
  return out;
}

bool IsValidUtf8(std::string_view utf8) {
  size_t pos = 0;
  char32_t ch;
  while (pos < utf8.size()) {
    if (static_cast<unsigned char>(utf8[pos]) < 0x80) {
      ++pos;
      continue;
    }
    if (!NextUtf8(utf8, pos, ch)) return false;
  }
  return true;
}

bool Utf8ToCp932(std::string_view utf8, Unmappable mode, std::string& out, RepairFunction repair) {
  // The output is written through an index into a buffer that is never shorter than the
  // input still to come plus room for one character reference, so the common characters
  // need no checks and no calls.
  constexpr size_t kRoom = 16;
  const size_t size = utf8.size();
  const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
  out.resize(size + kRoom);
  size_t write = 0;
  bool lossy = false;
  size_t pos = 0;
  while (pos < size) {
    // Eight ASCII bytes at a time: they are the same in both encodings.
    while (pos + 8 <= size) {
      uint64_t block;
      std::memcpy(&block, bytes + pos, 8);
      if (block & 0x8080808080808080ULL) break;
      std::memcpy(out.data() + write, &block, 8);
      write += 8;
      pos += 8;
    }
    if (pos >= size) break;
    const unsigned char c = bytes[pos];
    if (c < 0x80) {
      out[write++] = static_cast<char>(c);
      ++pos;
      continue;
    }
    // Most Japanese text is three-byte sequences with a code, which never grow.
    if ((c & 0xF0) == 0xE0 && pos + 2 < size && (bytes[pos + 1] & 0xC0) == 0x80 && (bytes[pos + 2] & 0xC0) == 0x80) {
      const char32_t ch = (c & 0x0F) << 12 | (bytes[pos + 1] & 0x3F) << 6 | (bytes[pos + 2] & 0x3F);
      const unsigned code = ch >= 0x800 ? kCp932Encode[ch] : 0;
      if (code != 0) {
        if (code > 0xFF) out[write++] = static_cast<char>(code >> 8);
        out[write++] = static_cast<char>(code & 0xFF);
        pos += 3;
        continue;
      }
    }
    char32_t ch;
    if (!NextUtf8(utf8, pos, ch)) {
      out.clear();
      return false;
    }
    // Anything else goes through the general path, which may write a character reference
    // longer than its input.
    std::string piece;
    AppendCp932(piece, ch, mode, lossy, repair);
    if (write + piece.size() + (size - pos) + kRoom > out.size())
      out.resize(write + piece.size() + (size - pos) + kRoom);
    std::memcpy(out.data() + write, piece.data(), piece.size());
    write += piece.size();
  }
  out.resize(write);
  return true;
}

void AppendUtf8(std::string& out, char32_t ch) {
  if (ch < 0x80) {
    out.push_back(static_cast<char>(ch));
  } else if (ch < 0x800) {
    out.push_back(static_cast<char>(0xC0 | ch >> 6));
    out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
  } else if (ch < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | ch >> 12));
    out.push_back(static_cast<char>(0x80 | (ch >> 6 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | ch >> 18));
    out.push_back(static_cast<char>(0x80 | (ch >> 12 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (ch >> 6 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
  }
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  size_t pos = 0;
  while (pos < utf8.size()) {
    char32_t ch;
    if (!NextUtf8(utf8, pos, ch)) ch = 0xFFFD;
    AppendUtf16(out, ch);
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (size_t i = 0; i < text.size();) AppendUtf8(out, NextUtf16(text, i));
  return out;
}

std::string EucJpMsCharToCp932(std::string_view eucChar) {
  const std::string utf32 = IconvOne("UTF-32LE", "EUC-JP-MS", eucChar);
  if (utf32.size() != 4) return {};
  char32_t ch;
  std::memcpy(&ch, utf32.data(), 4);
  std::string out;
  bool lossy = false;
  AppendCp932(out, ch, Unmappable::kCharRef, lossy);
  return out;
}

std::string Cp932CharToEucJpMs(std::string_view sjisChar) {
  size_t pos = 0;
  if (sjisChar.empty()) return {};
  const char16_t ch = NextCp932(sjisChar, pos);
  if (ch == kUndefinedChar && sjisChar != "\x81\x45") return {};
  const char16_t units[1] = {ch};
  return IconvOne("EUC-JP-MS", "UTF-16LE", std::string_view(reinterpret_cast<const char*>(units), 2));
}

}  // namespace platform
