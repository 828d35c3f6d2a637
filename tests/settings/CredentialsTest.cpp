// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>

#include "settings/Credentials.h"
#include "text/Literal.h"

namespace settings {
namespace {

std::string AllByteValues(size_t length) {
  std::string bytes;
  for (size_t i = 0; i < length; ++i) bytes += static_cast<char>((i * 37 + 11) & 0xFF);
  return bytes;
}

TEST(CredentialsTest, RoundTripsAnyTextUpTo127Bytes) {
  const std::string cases[] = {
      "",
      "a",
      JoinCredential("user", "pass word"),
      JoinCredential("", ""),
      text::J("日本語のユーザー") + std::string(1, '\0') + text::J("パスワード"),
      AllByteValues(127),  // every byte value mix, NUL and high bytes included
  };
  for (const std::string& plain : cases) {
    std::string scrambled = ScrambleText(plain);
    EXPECT_EQ(scrambled.size(), plain.size() * 2);
    EXPECT_EQ(scrambled.find_first_not_of(kScrambleAlphabet), std::string::npos) << scrambled;
    EXPECT_EQ(UnscrambleText(scrambled), plain);
  }
}

TEST(CredentialsTest, StoredFormIsFixed) {
  // 'a' ^ 'P' = 0x31 and 'b' ^ 'v' = 0x14, each hexadecimal digit written as its letter.
  EXPECT_EQ(ScrambleText("ab"), "FCCG");
  EXPECT_EQ(UnscrambleText("FCCG"), "ab");
  // The key cycles after eight characters: the ninth byte meets the first key character.
  EXPECT_EQ(ScrambleText("aaaaaaaaa").substr(16), "FC");
}

TEST(CredentialsTest, LongTextsAreCutTo255Letters) {
  std::string plain = AllByteValues(300);
  std::string scrambled = ScrambleText(plain);
  ASSERT_EQ(scrambled.size(), 255u);
  // 255 letters hold 127 whole bytes; the odd last letter is dropped on reading.
  EXPECT_EQ(UnscrambleText(scrambled), plain.substr(0, 127));
  EXPECT_EQ(ScrambleText(plain.substr(0, 128)), scrambled);
  EXPECT_EQ(ScrambleText(plain.substr(0, 127)).size(), 254u);
}

TEST(CredentialsTest, DamagedValuesGiveTheirReadableBeginning) {
  EXPECT_EQ(UnscrambleText("FCC"), "a");     // odd length
  EXPECT_EQ(UnscrambleText("FCxxCG"), "a");  // letters outside the alphabet
  EXPECT_EQ(UnscrambleText("fccg"), "");     // lower case is not the alphabet
  EXPECT_EQ(UnscrambleText(std::string("FC\0G", 4)), "a");
  EXPECT_EQ(UnscrambleText("user:password"), "");  // a value written by hand in plain text
  std::string huge(100000, 'B');
  EXPECT_EQ(UnscrambleText(huge).size(), 50000u);
}

TEST(CredentialsTest, SplitsAtTheFirstNul) {
  Credential both = SplitCredential(JoinCredential("me", "secret"));
  EXPECT_EQ(both.User, "me");
  EXPECT_EQ(both.Password, "secret");

  Credential userOnly = SplitCredential("me");
  EXPECT_EQ(userOnly.User, "me");
  EXPECT_EQ(userOnly.Password, "");

  Credential nulInPassword = SplitCredential(JoinCredential("me", std::string("a\0b", 3)));
  EXPECT_EQ(nulInPassword.User, "me");
  EXPECT_EQ(nulInPassword.Password, std::string("a\0b", 3));

  Credential empty = SplitCredential(UnscrambleText(ScrambleText(JoinCredential("", ""))));
  EXPECT_EQ(empty.User, "");
  EXPECT_EQ(empty.Password, "");
}

}  // namespace
}  // namespace settings
