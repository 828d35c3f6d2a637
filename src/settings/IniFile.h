// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace settings {

// An INI file held in memory: sections "[Name]" holding "Key=Value" lines. The reader is
// tolerant, because the file is edited by hand and may be damaged: blank lines, lines
// starting with ";" and lines that are neither a section nor a key are skipped, and
// nothing in the bytes can make it fail. Sections and keys keep the order of the file so
// that the object can be written back in the same shape.
class IniFile {
 public:
  struct Entry {
    std::string Key;
    std::string Value;
  };
  struct Section {
    std::string Name;
    std::vector<Entry> Entries;
  };

  // Replaces the content with the file at `path`. A file that is missing or cannot be
  // read leaves the object empty and returns false; every read then gives its default.
  bool Load(const std::string& path);

  // Replaces the content with the given file bytes. Lines end with CR LF, LF or CR. Keys
  // before the first section belong to no section and are dropped. A section that appears
  // twice continues the first one.
  void Parse(std::string_view bytes);

  void Clear() {
    sections_.clear();
    index_.clear();
  }

  // The raw text after the first "=" of the first matching key (section and key compared
  // without regard to ASCII letter case), or `defaultValue` when there is none.
  std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const;

  // Decimal, or hexadecimal after "0x"; `defaultValue` when missing or not a number.
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t defaultValue) const;

  // Any integer other than 0 is true; `defaultValue` when missing or not a number.
  bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;

  // Sets the first matching key of the section (it takes the given spelling) or appends
  // the key to the section; a missing section is created after all others. A line break
  // cannot be part of a value, so CR and LF are left out of the stored text.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);

  // Decimal text.
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);

  // "1" or "0".
  void WriteBool(std::string_view section, std::string_view key, bool value);

  // Removes the section with all its keys; a missing section is no error.
  void EraseSection(std::string_view section);

  // Removes every section whose name satisfies `erase`, in one pass.
  void EraseSectionsIf(const std::function<bool(std::string_view name)>& erase);

  // Removes all keys of the section but keeps its place among the others, so that a
  // section rewritten at every save stays where it is in the file.
  void ClearSection(std::string_view section);

  // The file bytes: every section in the order it was first created, as its "[Name]"
  // line, its "Key=Value" lines and one blank line, each line ending in CR LF.
  std::string Render() const;

  // The section names in the order of the file.
  std::vector<std::string> SectionNames() const;

  const std::vector<Section>& Sections() const { return sections_; }

 private:
  static constexpr size_t kNoSection = static_cast<size_t>(-1);

  size_t FindSection(std::string_view name) const;
  size_t AddSection(std::string_view name);
  void RebuildIndex();
  Section& SectionForWriting(std::string_view name);
  const std::string* FindValue(std::string_view section, std::string_view key) const;
  void AddLine(std::string_view line, size_t& current);

  std::vector<Section> sections_;
  // Section positions by upper-cased name, so that a file of many sections is read in
  // linear time.
  std::unordered_map<std::string, size_t> index_;
};

// The integer of an INI value: optional spaces, an optional sign, then decimal digits or
// "0x" and up to eight hexadecimal digits (read as a 32-bit pattern, so "0xFFFFFFFF" is
// -1), then optional spaces. Anything else, and a decimal value outside 32 bits, gives
// no value.
std::optional<int32_t> ParseIniInteger(std::string_view text);

}  // namespace settings
