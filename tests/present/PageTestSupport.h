// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

#include "present/PreparedStyle.h"
#include "support/TempDir.h"

namespace present::testing {

// A text as a prepared template holds it: every "$" the marker character.
inline std::string M(std::string text) {
  std::replace(text.begin(), text.end(), '$', kPlaceholderMarker);
  return text;
}

// Compares a whole page with its golden file under data/pages/, byte for byte. With the
// environment variable PLOVER_UPDATE_GOLDEN set the file is written instead.
inline void ExpectGoldenPage(const std::string& actual, std::string_view name) {
  const std::string path = std::string(PLOVER_TEST_DATA) + "pages/" + std::string(name);
  if (std::getenv("PLOVER_UPDATE_GOLDEN") != nullptr) {
    testsupport::WriteFile(path, actual);
    return;
  }
  ASSERT_TRUE(testsupport::FileExists(path)) << path << " is missing; run with PLOVER_UPDATE_GOLDEN=1";
  EXPECT_EQ(actual, testsupport::ReadFile(path)) << "golden file " << path;
}

// The number of times `what` occurs in `text`.
inline size_t CountOf(std::string_view text, std::string_view what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, at + what.size())) ++count;
  return count;
}

}  // namespace present::testing
