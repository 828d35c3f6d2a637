// SPDX-License-Identifier: MIT
#include "platform/Regex.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <memory>
#include <string>

#include "platform/CodePage.h"

namespace platform {
namespace {

pcre2_code* Code(void* code) {
  return static_cast<pcre2_code*>(code);
}

std::string ErrorText(int code) {
  PCRE2_UCHAR buffer[256];
  const int length = pcre2_get_error_message(code, buffer, sizeof buffer);
  if (length < 0) return "regular expression error " + std::to_string(code);
  return std::string(reinterpret_cast<const char*>(buffer), static_cast<size_t>(length));
}

// The end of the quantifier "{n}", "{n,}" or "{n,m}" that starts at `pos`, or npos when
// the brace is a literal.
size_t BraceQuantifierEnd(std::string_view pattern, size_t pos) {
  size_t at = pos + 1;
  const auto digits = [&] {
    const size_t first = at;
    while (at < pattern.size() && pattern[at] >= '0' && pattern[at] <= '9') ++at;
    return at > first;
  };
  if (!digits()) return std::string_view::npos;
  if (at < pattern.size() && pattern[at] == ',') {
    ++at;
    digits();
  }
  if (at < pattern.size() && pattern[at] == '}') return at + 1;
  return std::string_view::npos;
}

// Where `what` next occurs at or after `from`, or the end of the pattern.
size_t FindOrEnd(std::string_view pattern, std::string_view what, size_t from) {
  const size_t found = pattern.find(what, from);
  return found == std::string_view::npos ? pattern.size() : found + what.size();
}

// The end of the escape sequence that starts with the backslash at `pos`. The escapes
// whose argument is in braces take it whole, so that "\x{41}" is never read as a
// quantifier; "\d{2}" is an escape followed by one.
size_t EscapeEnd(std::string_view pattern, size_t pos) {
  if (pos + 1 >= pattern.size()) return pattern.size();
  const char kind = pattern[pos + 1];
  if (kind == 'Q') return FindOrEnd(pattern, "\\E", pos + 2);
  if (kind == 'c') return std::min(pos + 3, pattern.size());
  const std::string_view braced = "xoNpPgk";
  if (braced.find(kind) != std::string_view::npos && pos + 2 < pattern.size() && pattern[pos + 2] == '{') {
    return FindOrEnd(pattern, "}", pos + 3);
  }
  return pos + 2;
}

// The end of the character class that starts with the "[" at `pos`.
size_t ClassEnd(std::string_view pattern, size_t pos) {
  size_t at = pos + 1;
  if (at < pattern.size() && pattern[at] == '^') ++at;
  if (at < pattern.size() && pattern[at] == ']') ++at;  // a "]" first is a member
  while (at < pattern.size()) {
    const char c = pattern[at];
    if (c == '\\') {
      at = EscapeEnd(pattern, at);
    } else if (c == '[' && at + 1 < pattern.size() &&
               std::string_view(":.=").find(pattern[at + 1]) != std::string_view::npos) {
      const char close[] = {pattern[at + 1], ']', '\0'};
      const size_t found = pattern.find(close, at + 2);
      at = found == std::string_view::npos ? at + 1 : found + 2;
    } else if (c == ']') {
      return at + 1;
    } else {
      ++at;
    }
  }
  return pattern.size();
}

// The end of what follows "(" at `pos` and cannot hold a quantifier: a comment, a verb,
// the "?" of a group's syntax and a callout's text argument.
size_t GroupOpenerEnd(std::string_view pattern, size_t pos) {
  const size_t next = pos + 1;
  if (next >= pattern.size()) return next;
  if (pattern[next] == '*') return FindOrEnd(pattern, ")", next);
  if (pattern[next] != '?') return next;
  if (next + 1 < pattern.size() && pattern[next + 1] == '#') return FindOrEnd(pattern, ")", next);
  if (next + 2 < pattern.size() && pattern[next + 1] == 'C') {
    const char open = pattern[next + 2];
    const std::string_view delimiters = "`'\"^%#${";
    if (delimiters.find(open) != std::string_view::npos) {
      const char close = open == '{' ? '}' : open;
      size_t at = next + 3;
      while (at < pattern.size()) {
        if (pattern[at] != close) {
          ++at;
        } else if (at + 1 < pattern.size() && pattern[at + 1] == close) {
          at += 2;  // a doubled delimiter stands for itself
        } else {
          return at + 1;
        }
      }
      return pattern.size();
    }
  }
  return next + 1;
}

bool IsPatternSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// The engine calls out before every item of the pattern it tries; counting those calls
// measures the work of a search over all its start positions, which the engine's own
// match limit counts afresh at each one.
struct StepCounter {
  uint64_t* steps;
  uint64_t limit;
  bool exceeded = false;
};

int CountStep(pcre2_callout_block*, void* data) {
  StepCounter& counter = *static_cast<StepCounter*>(data);
  if (++*counter.steps <= counter.limit) return 0;
  counter.exceeded = true;
  return PCRE2_ERROR_CALLOUT;
}

struct MatchDataDeleter {
  void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};
struct MatchContextDeleter {
  void operator()(pcre2_match_context* context) const { pcre2_match_context_free(context); }
};

}  // namespace

std::string DropLazyMarks(std::string_view pattern, bool extended) {
  std::string out;
  out.reserve(pattern.size());
  size_t pos = 0;
  const auto copyUpTo = [&](size_t end) {
    out.append(pattern.substr(pos, end - pos));
    pos = end;
  };
  // After a quantifier: a "?" that makes it lazy goes (the engine's switch does that
  // now); a "+" that makes it possessive stays.
  const auto afterQuantifier = [&] {
    if (pos < pattern.size() && pattern[pos] == '?') ++pos;
  };
  while (pos < pattern.size()) {
    const char c = pattern[pos];
    if (c == '\\') {
      copyUpTo(EscapeEnd(pattern, pos));
    } else if (c == '[') {
      copyUpTo(ClassEnd(pattern, pos));
    } else if (c == '(') {
      copyUpTo(GroupOpenerEnd(pattern, pos));
    } else if (extended && c == '#') {
      copyUpTo(std::min(pattern.find('\n', pos), pattern.size()));
    } else if (extended && IsPatternSpace(c)) {
      copyUpTo(pos + 1);
    } else if (c == '*' || c == '+' || c == '?') {
      copyUpTo(pos + 1);
      afterQuantifier();
    } else if (c == '{' && BraceQuantifierEnd(pattern, pos) != std::string_view::npos) {
      copyUpTo(BraceQuantifierEnd(pattern, pos));
      afterQuantifier();
    } else {
      copyUpTo(pos + 1);
    }
  }
  return out;
}

bool RegexMatch::Has(int group) const {
  return group >= 0 && static_cast<size_t>(group) < spans_.size() && spans_[group].first != kUnset;
}

std::string_view RegexMatch::Group(int group) const {
  if (!Has(group)) return {};
  const auto [first, last] = spans_[group];
  return subject_.substr(first, last - first);
}

std::optional<Regex> Regex::Compile(std::string_view pattern, const RegexOptions& options, std::string* error,
                                    const RegexLimits& limits) {
  uint32_t flags = PCRE2_NEVER_BACKSLASH_C;
  if (options.caseless) flags |= PCRE2_CASELESS;
  if (options.dotAll) flags |= PCRE2_DOTALL;
  if (options.multiline) flags |= PCRE2_MULTILINE;
  if (options.extended) flags |= PCRE2_EXTENDED;
  if (options.ungreedy) flags |= PCRE2_UNGREEDY;
  flags |= options.utf ? PCRE2_UTF : PCRE2_NEVER_UTF;
  if (limits.totalSteps > 0) flags |= PCRE2_AUTO_CALLOUT;
  const std::string source = options.ungreedy ? DropLazyMarks(pattern, options.extended) : std::string(pattern);
  int code = 0;
  PCRE2_SIZE offset = 0;
  pcre2_code* compiled =
      pcre2_compile(reinterpret_cast<PCRE2_SPTR>(source.data()), source.size(), flags, &code, &offset, nullptr);
  if (compiled == nullptr) {
    if (error != nullptr) *error = ErrorText(code) + " at offset " + std::to_string(offset);
    return std::nullopt;
  }
  return Regex(compiled, limits, options.utf);
}

Regex::Regex(Regex&& other) noexcept : code_(other.code_), limits_(other.limits_), utf_(other.utf_) {
  other.code_ = nullptr;
}

Regex& Regex::operator=(Regex&& other) noexcept {
  if (this != &other) {
    pcre2_code_free(Code(code_));
    code_ = other.code_;
    limits_ = other.limits_;
    utf_ = other.utf_;
    other.code_ = nullptr;
  }
  return *this;
}

Regex::~Regex() {
  pcre2_code_free(Code(code_));
}

int Regex::GroupCount() const {
  uint32_t count = 0;
  pcre2_pattern_info(Code(code_), PCRE2_INFO_CAPTURECOUNT, &count);
  return static_cast<int>(count);
}

int Regex::GroupNumber(std::string_view name) const {
  const std::string terminated(name);
  const int number = pcre2_substring_number_from_name(Code(code_), reinterpret_cast<PCRE2_SPTR>(terminated.c_str()));
  return number < 0 ? -1 : number;
}

RegexResult Regex::Match(std::string_view subject, size_t offset, RegexMatch& match) const {
  match.subject_ = subject;
  match.spans_.clear();
  match.steps_ = 0;
  match.error_.clear();
  if (offset > subject.size()) return RegexResult::kNoMatch;
  // The subject is checked once here; the engine would check it again at every call,
  // which makes a search for many matches quadratic.
  if (utf_ && !IsValidUtf8(subject)) {
    match.error_ = "the subject is not valid UTF-8";
    return RegexResult::kError;
  }
  return Run(match, offset, 0);
}

RegexResult Regex::MatchNext(RegexMatch& match) const {
  if (!match.Has(0)) return RegexResult::kNoMatch;
  const size_t start = match.Start();
  const size_t end = match.End();
  if (end < start) return RegexResult::kNoMatch;
  if (end > start) return Run(match, end, 0);
  // After an empty match, first a non-empty match at the same place, then the search
  // goes on one character further.
  if (end >= match.subject_.size()) return RegexResult::kNoMatch;
  const RegexResult here = Run(match, end, PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED);
  if (here != RegexResult::kNoMatch) return here;
  size_t next = end + 1;
  if (utf_) {
    while (next < match.subject_.size() && (static_cast<unsigned char>(match.subject_[next]) & 0xC0) == 0x80) ++next;
  }
  return Run(match, next, 0);
}

RegexResult Regex::Run(RegexMatch& match, size_t offset, uint32_t flags) const {
  match.spans_.clear();
  std::unique_ptr<pcre2_match_context, MatchContextDeleter> context(pcre2_match_context_create(nullptr));
  std::unique_ptr<pcre2_match_data, MatchDataDeleter> data(pcre2_match_data_create_from_pattern(Code(code_), nullptr));
  if (!context || !data) {
    match.error_ = "out of memory";
    return RegexResult::kError;
  }
  pcre2_set_match_limit(context.get(), limits_.matchLimit);
  pcre2_set_depth_limit(context.get(), limits_.depthLimit);
  pcre2_set_heap_limit(context.get(), limits_.heapLimitKiB);
  StepCounter counter{&match.steps_, limits_.totalSteps};
  if (limits_.totalSteps > 0) pcre2_set_callout(context.get(), CountStep, &counter);

  const std::string_view subject = match.subject_;
  if (utf_) flags |= PCRE2_NO_UTF_CHECK;
  const int rc = pcre2_match(Code(code_), reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), offset, flags,
                             data.get(), context.get());
  if (rc == PCRE2_ERROR_NOMATCH) return RegexResult::kNoMatch;
  if (rc < 0) {
    match.error_ = counter.exceeded ? std::string("the search took too many steps") : ErrorText(rc);
    return RegexResult::kError;
  }
  const PCRE2_SIZE* vector = pcre2_get_ovector_pointer(data.get());
  const uint32_t pairs = pcre2_get_ovector_count(data.get());
  match.spans_.assign(pairs, {RegexMatch::kUnset, RegexMatch::kUnset});
  for (uint32_t i = 0; i < pairs && i < static_cast<uint32_t>(rc); ++i) {
    if (vector[2 * i] == PCRE2_UNSET || vector[2 * i + 1] < vector[2 * i]) continue;
    match.spans_[i] = {vector[2 * i], vector[2 * i + 1]};
  }
  if (!match.Has(0)) {
    match.error_ = "the match has no extent";
    return RegexResult::kError;
  }
  return RegexResult::kMatch;
}

}  // namespace platform
