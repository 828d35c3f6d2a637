// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Perl-style regular expressions over byte strings. Patterns come from the user and run
// over pages from outside, so every search is bounded: a pattern whose backtracking
// explodes ends in a failed search (kError) instead of holding the program.
namespace platform {

struct RegexOptions {
  bool caseless = false;   // letters match either case
  bool dotAll = false;     // "." matches line breaks too
  bool multiline = false;  // "^" and "$" match at every line start and end
  bool extended = false;   // whitespace and "#" comments in the pattern are ignored
  // Every quantifier matches as little as it can. A quantifier the pattern already marks
  // lazy ("*?", "+?", "??", "{n,m}?") stays lazy; only "(?-U)" inside the pattern turns
  // greediness back on. (The engine's own switch would turn a marked quantifier greedy,
  // which breaks patterns written for lazy quantifiers.)
  bool ungreedy = false;
  bool utf = false;  // pattern and subject are UTF-8 and match character by character
};

// The bounds of every search. The work a search may do is bounded per start position
// (matchLimit), in backtracking depth and memory, and in total over all start positions
// and all the searches of one RegexMatch (totalSteps).
struct RegexLimits {
  uint32_t matchLimit = 5'000'000;
  uint32_t depthLimit = 500'000;
  uint32_t heapLimitKiB = 64 * 1024;
  uint64_t totalSteps = 50'000'000;  // 0 = no total bound
};

enum class RegexResult { kMatch, kNoMatch, kError };

// One search over one subject: the latest match with its groups, and the work done so
// far. The subject is not copied and must outlive the object.
class RegexMatch {
 public:
  static constexpr size_t kUnset = static_cast<size_t>(-1);

  // Whether group `group` took part in the latest match (group 0 is the whole match).
  bool Has(int group) const;

  // The text of a group; empty when it did not take part.
  std::string_view Group(int group) const;

  size_t Start() const { return Has(0) ? spans_[0].first : kUnset; }
  size_t End() const { return Has(0) ? spans_[0].second : kUnset; }

  // The engine's message after a kError (UTF-8, English).
  const std::string& Error() const { return error_; }

 private:
  friend class Regex;

  std::string_view subject_;
  std::vector<std::pair<size_t, size_t>> spans_;
  uint64_t steps_ = 0;
  std::string error_;
};

// A compiled pattern. It can be shared between threads; each search has its own
// RegexMatch.
class Regex {
 public:
  // The compiled pattern, or nothing with the engine's message in `error` (UTF-8, English,
  // with the byte offset of the fault).
  static std::optional<Regex> Compile(std::string_view pattern, const RegexOptions& options,
                                      std::string* error = nullptr, const RegexLimits& limits = {});

  Regex(Regex&& other) noexcept;
  Regex& operator=(Regex&& other) noexcept;
  Regex(const Regex&) = delete;
  Regex& operator=(const Regex&) = delete;
  ~Regex();

  // Number of capture groups (numbered from 1 by their opening parenthesis).
  int GroupCount() const;

  // The number of the named group "(?<name>...)", or -1.
  int GroupNumber(std::string_view name) const;

  // The first match at or after byte `offset` of `subject`; starts a new search in `match`.
  RegexResult Match(std::string_view subject, size_t offset, RegexMatch& match) const;

  // The next match after the latest one of `match` (which must have matched). An empty
  // match is not found twice: the search then moves on by one character.
  RegexResult MatchNext(RegexMatch& match) const;

 private:
  Regex(void* code, const RegexLimits& limits, bool utf) : code_(code), limits_(limits), utf_(utf) {}

  RegexResult Run(RegexMatch& match, size_t offset, uint32_t flags) const;

  void* code_ = nullptr;
  RegexLimits limits_;
  bool utf_ = false;
};

// The pattern with the lazy marks of its quantifiers removed ("a*?" becomes "a*"); the
// engine's ungreedy switch then makes every quantifier lazy. Exposed for tests.
std::string DropLazyMarks(std::string_view pattern, bool extended);

}  // namespace platform
