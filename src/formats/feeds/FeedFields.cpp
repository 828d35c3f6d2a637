// SPDX-License-Identifier: MIT
#include "formats/feeds/FeedFields.h"

#include <array>

#include "text/Cut.h"
#include "text/Html.h"

namespace formats {
namespace {

constexpr char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

// The media program plays files of these types; an enclosure of another type (a picture,
// a page) is kept only when nothing better is offered.
constexpr std::array<std::string_view, 7> kMediaExtensions = {"mp3", "m4a", "aac", "au", "wma", "mpeg", "mov"};

// The extension of an address with its dot, or empty when the last dot is followed by a
// "\" or ":" (a dot inside a host or folder name is no extension).
std::string_view FileExtension(std::string_view address) {
  const size_t dot = address.rfind('.');
  if (dot == std::string_view::npos) return {};
  const std::string_view extension = address.substr(dot);
  if (extension.find_first_of("\\:") != std::string_view::npos) return {};
  return extension;
}

std::string ReadableText(std::string_view value, bool stripMarkup) {
  if (stripMarkup && text::LooksLikeHtml(value)) return text::HtmlUnescape(text::StripTags(value, true), true);
  return text::HtmlUnescape(value, true);
}

std::string TitleFrom(std::string_view description) {
  return text::TruncateText(text::RemoveBreaks(text::StripTags(description, true)), kFallbackTitleBytes);
}

}  // namespace

bool LowerEquals(std::string_view text, std::string_view lowerText) {
  if (text.size() != lowerText.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (LowerAscii(text[i]) != lowerText[i]) return false;
  }
  return true;
}

bool NameIs(const TXMLItemType& record, std::string_view lowerName) {
  return LowerEquals(record.Name, lowerName);
}

const TXMLItemType* FindAttribute(const TXMLItemType& record, std::string_view lowerName) {
  if (!record.Attributes) return nullptr;
  for (const auto& attribute : *record.Attributes) {
    if (NameIs(*attribute, lowerName)) return attribute.get();
  }
  return nullptr;
}

std::string ElementText(const TXMLItemType& record, bool stripMarkup) {
  std::string value = ReadableText(record.Text, stripMarkup);
  if (value.empty()) value = ReadableText(record.CData, stripMarkup);
  return text::RemoveBreaks(value);
}

bool HasMediaExtension(std::string_view address) {
  const std::string_view extension = FileExtension(address);
  if (extension.size() < 2) return false;
  for (const std::string_view media : kMediaExtensions) {
    if (LowerEquals(extension.substr(1), media)) return true;
  }
  return false;
}

void ChooseEnclosure(store::TSiteRecord& item, const std::string& candidate) {
  if (HasMediaExtension(candidate) || item.enclose.empty()) item.enclose = candidate;
}

bool ApplyTitleFallback(store::TSiteRecord& item) {
  if (item.title.empty() && !item.desc.empty()) item.title = TitleFrom(item.desc);
  if (item.title.empty() && !item.de_cd.empty()) item.title = TitleFrom(item.de_cd);
  return !item.title.empty();
}

bool ApplyTitleFallback(store::TSiteRecord& item, std::initializer_list<std::string_view> texts) {
  if (ApplyTitleFallback(item)) return true;
  for (const std::string_view text : texts) {
    if (!text.empty()) item.title = TitleFrom(text);
    if (!item.title.empty()) return true;
  }
  return false;
}

bool TitleMadeFromText(const store::TSiteRecord& item) {
  for (const std::string* text : {&item.desc, &item.de_cd, &item.encoded, &item.en_cd}) {
    if (!text->empty() && TitleFrom(*text) == item.title) return true;
  }
  return false;
}

int64_t ParseFeedVersion(std::string_view text) {
  size_t pos = text.find_first_not_of(" \t\r\n");
  if (pos == std::string_view::npos) return 0;
  bool negative = false;
  if (text[pos] == '-' || text[pos] == '+') negative = text[pos++] == '-';
  // The whole part is held below a billion so that the scaled value cannot overflow; no
  // real version comes near it.
  constexpr int64_t kWholeLimit = 1'000'000'000;
  int64_t whole = 0;
  for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
    if (whole < kWholeLimit) whole = whole * 10 + (text[pos] - '0');
  }
  int64_t fraction = 0;
  if (pos < text.size() && text[pos] == '.') {
    int64_t scale = kFeedVersionUnit / 10;
    for (++pos; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos, scale /= 10) {
      fraction += (text[pos] - '0') * scale;
    }
  }
  const int64_t value = whole * kFeedVersionUnit + fraction;
  return negative ? -value : value;
}

uint16_t ParseCommentCount(std::string_view text) {
  uint32_t count = 0;
  for (size_t pos = 0; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
    count = count * 10 + static_cast<uint32_t>(text[pos] - '0');
    if (count > UINT16_MAX) return UINT16_MAX;
  }
  return static_cast<uint16_t>(count);
}

}  // namespace formats
