// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

// The stored form of a user name and password pair (channel, proxy, FTP and Bloglines
// accounts). The plain form is the user name, one NUL character and the password; the
// stored form is that text scrambled into letters of a fixed alphabet. The key and the
// alphabet are part of the stored format: changing either makes every stored credential
// unreadable.
namespace settings {

// The 8-character key the bytes are XORed with, cycling from the first character.
inline constexpr std::string_view kScrambleKey = "Pv7#kLq2";

// The 16 letters that stand for the hexadecimal digits 0..15 of the scrambled bytes.
inline constexpr std::string_view kScrambleAlphabet = "BCDFGHJKLMNPRSTV";

// Longest plain input and longest result, in bytes: a longer input is cut first, and the
// result (two letters per byte) is cut again, so only 127 plain bytes survive whole.
inline constexpr size_t kScrambleMaxLength = 255;

// A user name and password as they were stored.
struct Credential {
  std::string User;
  std::string Password;

  bool operator==(const Credential&) const = default;
};

// Scrambles a plain text: every byte XOR the key, written as two alphabet letters.
std::string ScrambleText(std::string_view plain);

// Reverses ScrambleText. A trailing single letter (left by the length cut) is dropped,
// and decoding stops at the first character that is not a letter of the alphabet, so a
// damaged value gives its readable beginning and never fails.
std::string UnscrambleText(std::string_view scrambled);

// Splits a plain credential at its first NUL: the user name before it, the password after
// it; without a NUL the whole text is the user name and the password is empty.
Credential SplitCredential(std::string_view plain);

// The plain form of a pair: user + NUL + password.
std::string JoinCredential(std::string_view user, std::string_view password);

// The stored form of a pair: ScrambleText of the joined plain form. Both parts empty
// still give a stored value (the scrambled NUL); callers that store "no credential" as an
// empty value decide that themselves.
std::string StoreCredential(const Credential& credential);

// The pair of a stored value: UnscrambleText, then SplitCredential.
Credential ReadCredential(std::string_view stored);

}  // namespace settings
