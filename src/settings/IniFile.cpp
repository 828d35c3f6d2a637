// SPDX-License-Identifier: MIT
#include "settings/IniFile.h"

#include <fstream>
#include <iterator>
#include <string>

namespace settings {

namespace {

// Spaces, tabs and the other control bytes around a line or key carry no meaning; code
// page 932 trail bytes are all above 0x40, so trimming never cuts a character.
std::string_view TrimBlank(std::string_view text) {
  size_t first = 0;
  while (first < text.size() && static_cast<unsigned char>(text[first]) <= 0x20) ++first;
  size_t last = text.size();
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= 0x20) --last;
  return text.substr(first, last - first);
}

char AsciiUpper(char ch) {
  return (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
}

bool SameAsciiText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

std::string UpperKey(std::string_view name) {
  std::string key(name);
  for (char& ch : key) ch = AsciiUpper(ch);
  return key;
}

int HexDigit(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  ch = AsciiUpper(ch);
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  return -1;
}

// Reads the digits of `text` in `base` into `value`; false for no digits, a wrong digit or
// a value above `limit`.
bool ReadDigits(std::string_view text, int base, uint64_t limit, uint64_t& value) {
  if (text.empty()) return false;
  value = 0;
  for (char ch : text) {
    int digit = HexDigit(ch);
    if (digit < 0 || digit >= base) return false;
    value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    if (value > limit) return false;
  }
  return true;
}

}  // namespace

std::optional<int32_t> ParseIniInteger(std::string_view text) {
  text = TrimBlank(text);
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  uint64_t value = 0;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    if (!ReadDigits(text.substr(2), 16, 0xFFFFFFFFull, value)) return std::nullopt;
    uint32_t pattern = static_cast<uint32_t>(value);
    if (negative) pattern = 0u - pattern;
    return static_cast<int32_t>(pattern);
  }
  uint64_t limit = negative ? 0x80000000ull : 0x7FFFFFFFull;
  if (!ReadDigits(text, 10, limit, value)) return std::nullopt;
  return negative ? static_cast<int32_t>(-static_cast<int64_t>(value)) : static_cast<int32_t>(value);
}

bool IniFile::Load(const std::string& path) {
  Clear();
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad()) return false;
  Parse(bytes);
  return true;
}

void IniFile::Parse(std::string_view bytes) {
  Clear();
  size_t current = kNoSection;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = bytes.size();
    AddLine(bytes.substr(start, end - start), current);
    start = end;
    // CR LF is one line end; a lone CR or LF is one too.
    if (start < bytes.size() && bytes[start] == '\r') ++start;
    if (start < bytes.size() && bytes[start] == '\n') ++start;
  }
}

void IniFile::AddLine(std::string_view line, size_t& current) {
  std::string_view trimmed = TrimBlank(line);
  if (trimmed.empty() || trimmed[0] == ';') return;
  if (trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']') {
    std::string_view name = TrimBlank(trimmed.substr(1, trimmed.size() - 2));
    current = FindSection(name);
    if (current == kNoSection) current = AddSection(name);
    return;
  }
  size_t equals = line.find('=');
  if (current == kNoSection || equals == std::string_view::npos) return;
  std::string_view key = TrimBlank(line.substr(0, equals));
  if (key.empty()) return;
  sections_[current].Entries.push_back(Entry{std::string(key), std::string(line.substr(equals + 1))});
}

size_t IniFile::FindSection(std::string_view name) const {
  auto found = index_.find(UpperKey(name));
  return found == index_.end() ? kNoSection : found->second;
}

size_t IniFile::AddSection(std::string_view name) {
  sections_.push_back(Section{std::string(name), {}});
  index_.emplace(UpperKey(name), sections_.size() - 1);
  return sections_.size() - 1;
}

void IniFile::RebuildIndex() {
  index_.clear();
  for (size_t i = 0; i < sections_.size(); ++i) index_.emplace(UpperKey(sections_[i].Name), i);
}

const std::string* IniFile::FindValue(std::string_view section, std::string_view key) const {
  size_t found = FindSection(section);
  if (found == kNoSection) return nullptr;
  for (const Entry& entry : sections_[found].Entries) {
    if (SameAsciiText(entry.Key, key)) return &entry.Value;
  }
  return nullptr;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const {
  const std::string* value = FindValue(section, key);
  return value != nullptr ? *value : std::string(defaultValue);
}

int32_t IniFile::ReadInteger(std::string_view section, std::string_view key, int32_t defaultValue) const {
  const std::string* value = FindValue(section, key);
  if (value == nullptr) return defaultValue;
  return ParseIniInteger(*value).value_or(defaultValue);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
  const std::string* value = FindValue(section, key);
  if (value == nullptr) return defaultValue;
  std::optional<int32_t> number = ParseIniInteger(*value);
  return number ? *number != 0 : defaultValue;
}

bool IniFile::SectionExists(std::string_view section) const {
  return FindSection(section) != kNoSection;
}

bool IniFile::ValueExists(std::string_view section, std::string_view key) const {
  return FindValue(section, key) != nullptr;
}

IniFile::Section& IniFile::SectionForWriting(std::string_view name) {
  size_t found = FindSection(name);
  if (found == kNoSection) found = AddSection(name);
  return sections_[found];
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  // A line break in a value would end the line early and let the rest be read as keys or
  // sections of its own.
  std::string stored;
  stored.reserve(value.size());
  for (char ch : value) {
    if (ch != '\r' && ch != '\n') stored += ch;
  }
  Section& target = SectionForWriting(section);
  for (Entry& entry : target.Entries) {
    if (SameAsciiText(entry.Key, key)) {
      entry.Key = std::string(key);
      entry.Value = std::move(stored);
      return;
    }
  }
  target.Entries.push_back(Entry{std::string(key), std::move(stored)});
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void IniFile::EraseSection(std::string_view section) {
  size_t found = FindSection(section);
  if (found == kNoSection) return;
  sections_.erase(sections_.begin() + static_cast<std::ptrdiff_t>(found));
  RebuildIndex();
}

void IniFile::EraseSectionsIf(const std::function<bool(std::string_view name)>& erase) {
  std::erase_if(sections_, [&erase](const Section& section) { return erase(section.Name); });
  RebuildIndex();
}

void IniFile::ClearSection(std::string_view section) {
  size_t found = FindSection(section);
  if (found != kNoSection) sections_[found].Entries.clear();
}

std::string IniFile::Render() const {
  std::string bytes;
  for (const Section& section : sections_) {
    bytes += '[';
    bytes += section.Name;
    bytes += "]\r\n";
    for (const Entry& entry : section.Entries) {
      bytes += entry.Key;
      bytes += '=';
      bytes += entry.Value;
      bytes += "\r\n";
    }
    bytes += "\r\n";
  }
  return bytes;
}

std::vector<std::string> IniFile::SectionNames() const {
  std::vector<std::string> names;
  names.reserve(sections_.size());
  for (const Section& section : sections_) names.push_back(section.Name);
  return names;
}

}  // namespace settings
