// SPDX-License-Identifier: MIT
// A measurement, not a check: run by hand in a release build with
//   test_present --gtest_also_run_disabled_tests --gtest_filter='*Timing*'
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "HeadlineFixture.h"

namespace present::testing {
namespace {

using HeadlineTiming = HeadlineFixture;

double MillisecondsOf(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

TEST_F(HeadlineTiming, DISABLED_HundredThousandItemsUnderTheRoot) {
  store::TTreeNodeExt* channels[] = {chanA, chanB, chanC};
  for (int i = 0; i < 100000; ++i) {
    store::TSiteRecord* item =
        Add(channels[i % 3], "Title " + std::to_string((i * 7919) % 100000), i % 4 == 0 ? 1 : 0, (i % 1000) / 10.0);
    item->creator = (i % 2 ? "alice " : "Bob ") + std::to_string(i % 97);
  }
  const double show = MillisecondsOf([&] { list.SelectNode(Root()); });
  const double byTitle = MillisecondsOf([&] { list.SortByColumn(kColumnTitle); });
  const double byTitleAgain = MillisecondsOf([&] { list.SortByColumn(kColumnTitle); });
  const double byState = MillisecondsOf([&] { list.SortByColumn(kColumnState); });
  std::string cell;
  const double draw = MillisecondsOf([&] {
    for (size_t row = 0; row < list.RowCount(); ++row) {
      for (int column = 0; column < kColumnCount; ++column) list.CellText(row, column, cell);
    }
  });
  std::printf(
      "rows %zu: ShowNode(root) %.1f ms, sort by title %.1f ms, inverted %.1f ms, by state %.1f ms, "
      "all cells %.1f ms\n",
      list.RowCount(), show, byTitle, byTitleAgain, byState, draw);
  EXPECT_EQ(list.RowCount(), 100000u);
}

}  // namespace
}  // namespace present::testing
