// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "platform/Regex.h"

namespace platform {
namespace {

struct OptionCase {
  const char* name;
  const char* pattern;
  RegexOptions options;
  const char* subject;
  const char* expected;  // the whole match; nullptr: no match
};

class Options : public ::testing::TestWithParam<OptionCase> {};

TEST_P(Options, ChangeWhatMatches) {
  const OptionCase& c = GetParam();
  std::string error;
  const std::optional<Regex> regex = Regex::Compile(c.pattern, c.options, &error);
  ASSERT_TRUE(regex) << error;
  RegexMatch match;
  const RegexResult result = regex->Match(c.subject, 0, match);
  if (c.expected == nullptr) {
    EXPECT_EQ(result, RegexResult::kNoMatch);
  } else {
    ASSERT_EQ(result, RegexResult::kMatch);
    EXPECT_EQ(match.Group(0), c.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Regex, Options,
    ::testing::Values(
        OptionCase{"CaseMatters", "abc", {}, "ABC", nullptr},
        OptionCase{"Caseless", "abc", {.caseless = true}, "xABC", "ABC"},
        OptionCase{"DotStopsAtLineBreak", "a.b", {}, "a\nb", nullptr},
        OptionCase{"DotAll", "a.b", {.dotAll = true}, "a\nb", "a\nb"},
        OptionCase{"AnchorsAtSubjectEnds", "^b$", {}, "a\nb\nc", nullptr},
        OptionCase{"Multiline", "^b$", {.multiline = true}, "a\nb\nc", "b"},
        OptionCase{"SpacesMatter", "a b", {}, "ab", nullptr},
        OptionCase{"Extended", "a b # comment", {.extended = true}, "ab", "ab"},
        OptionCase{"Greedy", "<b>.*</b>", {}, "<b>1</b><b>2</b>", "<b>1</b><b>2</b>"},
        OptionCase{"UngreedyPlain", "<b>.*</b>", {.ungreedy = true}, "<b>1</b><b>2</b>", "<b>1</b>"},
        OptionCase{"UngreedyKeepsLazyMarks", "<b>.*?</b>", {.ungreedy = true}, "<b>1</b><b>2</b>", "<b>1</b>"},
        OptionCase{"UngreedyOptionalIsLazy", "ab?", {.ungreedy = true}, "abb", "a"},
        OptionCase{
            "PatternTurnsGreedyBack", "(?-U)<b>.*</b>", {.ungreedy = true}, "<b>1</b><b>2</b>", "<b>1</b><b>2</b>"},
        OptionCase{"PossessiveStays", "a*+a", {.ungreedy = true}, "aaa", nullptr},
        OptionCase{"UtfDotIsOneCharacter", "^.$", {.utf = true}, "\xE3\x81\x82", "\xE3\x81\x82"},
        OptionCase{"BytesWithoutUtf", "^.$", {}, "\xE3\x81\x82", nullptr}),
    [](const ::testing::TestParamInfo<OptionCase>& info) { return std::string(info.param.name); });

struct LazyMarkCase {
  const char* name;
  const char* pattern;
  const char* expected;
};

class LazyMarks : public ::testing::TestWithParam<LazyMarkCase> {};

// Only the "?" that makes a quantifier lazy goes; a "?" that is itself a quantifier or
// part of other syntax stays.
TEST_P(LazyMarks, GoOnlyAfterQuantifiers) {
  EXPECT_EQ(DropLazyMarks(GetParam().pattern, false), GetParam().expected);
  // Whatever was dropped, the result is still a pattern.
  EXPECT_TRUE(Regex::Compile(GetParam().pattern, {.ungreedy = true}));
}

INSTANTIATE_TEST_SUITE_P(
    Regex, LazyMarks,
    ::testing::Values(LazyMarkCase{"Quantifiers", "a*?b+?c??d{2}?e{2,}?f{2,3}?", "a*b+c?d{2}e{2,}f{2,3}"},
                      LazyMarkCase{"PlainQuantifiers", "a*b+c?d{2}", "a*b+c?d{2}"},
                      LazyMarkCase{"Possessive", "a*+b++", "a*+b++"},
                      LazyMarkCase{"AfterGroups", "(a)*?(?:b)+?(?<n>c)??", "(a)*(?:b)+(?<n>c)?"},
                      LazyMarkCase{"GroupSyntax", "(?i)(?=a)(?!b)(?<=c)(?<!d)(?>e)(?P<f>g)(?|h)",
                                   "(?i)(?=a)(?!b)(?<=c)(?<!d)(?>e)(?P<f>g)(?|h)"},
                      LazyMarkCase{"EscapedCharacters", "\\*?\\??\\d{2}?\\x{41}?\\c??", "\\*?\\??\\d{2}\\x{41}?\\c??"},
                      LazyMarkCase{"Classes", "[*?][]*?][^]?]*?[[:alpha:]*?]", "[*?][]*?][^]?]*[[:alpha:]*?]"},
                      LazyMarkCase{"LiteralBrace", "a{b}?c{1,x}?", "a{b}?c{1,x}?"},
                      LazyMarkCase{"QuotedText", "\\Qa*?\\E*?", "\\Qa*?\\E*"},
                      LazyMarkCase{"CommentsAndVerbs", "(*NO_AUTO_POSSESS)(?#a*?)a*?(*MARK:x*?)",
                                   "(*NO_AUTO_POSSESS)(?#a*?)a*(*MARK:x*?)"},
                      LazyMarkCase{"CalloutText", "(?C\"a*?\"\"b\")c+?", "(?C\"a*?\"\"b\")c+"}),
    [](const ::testing::TestParamInfo<LazyMarkCase>& info) { return std::string(info.param.name); });

TEST(Regex, ExtendedCommentsAreNotPattern) {
  EXPECT_EQ(DropLazyMarks("a*? # b*?\n c+?", true), "a* # b*?\n c+");
}

TEST(Regex, GroupsAreNumberedByTheirOpeningParenthesis) {
  const std::optional<Regex> regex = Regex::Compile("(a)(?:x)((b)|(c))(?<last>d)?", {});
  ASSERT_TRUE(regex);
  EXPECT_EQ(regex->GroupCount(), 5);
  EXPECT_EQ(regex->GroupNumber("last"), 5);
  EXPECT_EQ(regex->GroupNumber("missing"), -1);
  RegexMatch match;
  const std::string subject = "--axc";
  ASSERT_EQ(regex->Match(subject, 0, match), RegexResult::kMatch);
  EXPECT_EQ(match.Start(), 2u);
  EXPECT_EQ(match.End(), 5u);
  EXPECT_EQ(match.Group(1), "a");
  EXPECT_EQ(match.Group(2), "c");
  EXPECT_FALSE(match.Has(3));
  EXPECT_EQ(match.Group(3), "");
  EXPECT_EQ(match.Group(4), "c");
  EXPECT_FALSE(match.Has(5));
  EXPECT_FALSE(match.Has(6));
}

std::vector<std::string> AllMatches(const Regex& regex, const std::string& subject, size_t offset = 0) {
  std::vector<std::string> found;
  RegexMatch match;
  for (RegexResult result = regex.Match(subject, offset, match); result == RegexResult::kMatch;
       result = regex.MatchNext(match)) {
    found.emplace_back(match.Group(0));
  }
  return found;
}

TEST(Regex, MatchNextFindsEveryMatchOnce) {
  const std::optional<Regex> words = Regex::Compile("[a-z]+", {});
  ASSERT_TRUE(words);
  EXPECT_EQ(AllMatches(*words, "ab cd  ef"), (std::vector<std::string>{"ab", "cd", "ef"}));
  EXPECT_EQ(AllMatches(*words, "ab cd  ef", 4), (std::vector<std::string>{"d", "ef"}));
  EXPECT_TRUE(AllMatches(*words, "ab", 3).empty());

  // Empty matches move on by one whole character, never into the middle of one.
  const std::optional<Regex> empty = Regex::Compile("x*", {.utf = true});
  ASSERT_TRUE(empty);
  const std::string kana = "\xE3\x81\x82x\xE3\x81\x84";  // "あxい"
  RegexMatch match;
  std::vector<size_t> starts;
  for (RegexResult result = empty->Match(kana, 0, match); result == RegexResult::kMatch;
       result = empty->MatchNext(match)) {
    starts.push_back(match.Start());
  }
  EXPECT_EQ(starts, (std::vector<size_t>{0, 3, 4, 7}));
}

TEST(Regex, BadPatternsAndSubjectsAreErrors) {
  std::string error;
  EXPECT_FALSE(Regex::Compile("a(b", {}, &error));
  EXPECT_NE(error.find("offset 3"), std::string::npos) << error;
  EXPECT_FALSE(Regex::Compile("\\C", {.utf = true}));
  EXPECT_FALSE(Regex::Compile("(*UTF)a", {}));

  const std::optional<Regex> regex = Regex::Compile("a", {.utf = true});
  ASSERT_TRUE(regex);
  RegexMatch match;
  EXPECT_EQ(regex->Match("a\xFF", 0, match), RegexResult::kError);
  EXPECT_FALSE(match.Error().empty());
  EXPECT_EQ(regex->MatchNext(match), RegexResult::kNoMatch);
}

double SecondsFor(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(Regex, ExplodingBacktrackingFailsQuickly) {
  const std::string subject = std::string(200'000, 'a') + "!";
  for (const char* pattern : {"(a+)+$", "(a|aa)+$", "((a+)(a+))+(?=b)"}) {
    const std::optional<Regex> regex = Regex::Compile(pattern, {.dotAll = true, .ungreedy = true, .utf = true});
    ASSERT_TRUE(regex);
    RegexMatch match;
    RegexResult result = RegexResult::kMatch;
    const double seconds = SecondsFor([&] { result = regex->Match(subject, 0, match); });
    EXPECT_EQ(result, RegexResult::kError) << pattern;
    EXPECT_LT(seconds, 10.0) << pattern;
  }
}

// The engine's own match limit counts afresh at each start position, so a pattern that
// stays below it everywhere can still run for minutes over a page; the total bound ends
// such a search too.
TEST(Regex, TotalWorkIsBoundedOverAllStartPositions) {
  std::string page;
  for (int i = 0; i < 150; ++i) page += "<div>x</div>";
  page += std::string(2000, 'z');
  const char* pattern = "<div>(.*?)</div>(.*?)<span>";
  const RegexOptions options{.dotAll = true, .ungreedy = true};

  RegexLimits perPosition{.matchLimit = 1'000'000, .totalSteps = 0};
  const std::optional<Regex> unbounded = Regex::Compile(pattern, options, nullptr, perPosition);
  ASSERT_TRUE(unbounded);
  RegexMatch match;
  EXPECT_EQ(unbounded->Match(page, 0, match), RegexResult::kNoMatch);

  RegexLimits total = perPosition;
  total.totalSteps = 1'000'000;
  const std::optional<Regex> bounded = Regex::Compile(pattern, options, nullptr, total);
  ASSERT_TRUE(bounded);
  EXPECT_EQ(bounded->Match(page, 0, match), RegexResult::kError);

  // The bound is for one whole search: every MatchNext adds to it.
  const std::string many(5000, 'a');
  const std::optional<Regex> letters = Regex::Compile("a", {}, nullptr, RegexLimits{.totalSteps = 2000});
  ASSERT_TRUE(letters);
  RegexResult result = letters->Match(many, 0, match);
  size_t found = 0;
  while (result == RegexResult::kMatch) {
    ++found;
    result = letters->MatchNext(match);
  }
  EXPECT_EQ(result, RegexResult::kError);
  EXPECT_LT(found, many.size());
}

TEST(Regex, MovesKeepThePattern) {
  std::optional<Regex> first = Regex::Compile("b+", {});
  ASSERT_TRUE(first);
  Regex moved = std::move(*first);
  std::optional<Regex> other = Regex::Compile("c", {});
  ASSERT_TRUE(other);
  *other = std::move(moved);
  RegexMatch match;
  ASSERT_EQ(other->Match("abbc", 0, match), RegexResult::kMatch);
  EXPECT_EQ(match.Group(0), "bb");
}

}  // namespace
}  // namespace platform
