// SPDX-License-Identifier: MIT
#include "settings/Credentials.h"

#include <algorithm>

namespace settings {

namespace {

// The digit value a letter of the alphabet stands for, or -1 for any other character.
int AlphabetDigit(char letter) {
  size_t pos = kScrambleAlphabet.find(letter);
  return pos == std::string_view::npos ? -1 : static_cast<int>(pos);
}

}  // namespace

std::string ScrambleText(std::string_view plain) {
  plain = plain.substr(0, std::min(plain.size(), kScrambleMaxLength));
  std::string result;
  result.reserve(plain.size() * 2);
  for (size_t i = 0; i < plain.size(); ++i) {
    unsigned char mixed = static_cast<unsigned char>(plain[i]) ^ static_cast<unsigned char>(kScrambleKey[i % 8]);
    result += kScrambleAlphabet[mixed >> 4];
    result += kScrambleAlphabet[mixed & 0x0F];
  }
  if (result.size() > kScrambleMaxLength) result.resize(kScrambleMaxLength);
  return result;
}

std::string UnscrambleText(std::string_view scrambled) {
  std::string plain;
  plain.reserve(scrambled.size() / 2);
  for (size_t pos = 0; pos + 1 < scrambled.size(); pos += 2) {
    int high = AlphabetDigit(scrambled[pos]);
    int low = AlphabetDigit(scrambled[pos + 1]);
    if (high < 0 || low < 0) break;
    unsigned char mixed = static_cast<unsigned char>(high << 4 | low);
    size_t index = pos / 2;
    plain += static_cast<char>(mixed ^ static_cast<unsigned char>(kScrambleKey[index % 8]));
  }
  return plain;
}

Credential SplitCredential(std::string_view plain) {
  size_t nul = plain.find('\0');
  if (nul == std::string_view::npos) return Credential{std::string(plain), std::string()};
  return Credential{std::string(plain.substr(0, nul)), std::string(plain.substr(nul + 1))};
}

std::string JoinCredential(std::string_view user, std::string_view password) {
  std::string plain(user);
  plain += '\0';
  plain += password;
  return plain;
}

std::string StoreCredential(const Credential& credential) {
  return ScrambleText(JoinCredential(credential.User, credential.Password));
}

Credential ReadCredential(std::string_view stored) {
  return SplitCredential(UnscrambleText(stored));
}

}  // namespace settings
