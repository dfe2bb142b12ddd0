// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "calc/carbon_scan.h"

namespace velkarin {
namespace {

const TrialSequence& trials() { return TrialSequence::scanSequence(); }

TEST(TrialSequence, CoversTheScanRange) {
  EXPECT_EQ(trials().value(0), scan::start);
  EXPECT_LE(trials().value(trials().size() - 1), scan::end);
  EXPECT_GT(trials().valueAfterLast(), scan::end);
  EXPECT_EQ(trials().value(trials().size() - 1) + scan::step, trials().valueAfterLast());
  // 0.001 … 5000 spans binades 2^-10 … 2^12.
  EXPECT_EQ(trials().segments().size(), 23u);
}

TEST(TrialSequence, MatchesRealAccumulationFromTheStart) {
  double c = scan::start;
  for (std::int64_t i = 0; i < 2'000'000; ++i) {
    ASSERT_EQ(trials().value(i), c) << i;
    c += scan::step;
  }
}

// Around every binade crossing: accumulate for real from a value the closed
// form gives well inside the previous segment, across the crossing.
TEST(TrialSequence, MatchesRealAccumulationAcrossEveryBinade) {
  for (const auto& segment : trials().segments()) {
    if (segment.firstIndex == 0) continue;
    const std::int64_t from = std::max<std::int64_t>(0, segment.firstIndex - 100'000);
    double c = trials().value(from);
    for (std::int64_t i = from; i < segment.firstIndex + 100'000 && i < trials().size(); ++i) {
      ASSERT_EQ(trials().value(i), c) << "index " << i << " near segment at " << segment.start;
      c += scan::step;
    }
  }
}

// The whole range, 5·10^9 real additions: VELKARIN_LONG_TESTS=1 to run.
TEST(TrialSequenceLong, MatchesRealAccumulationOverTheWholeRange) {
  if (!std::getenv("VELKARIN_LONG_TESTS")) GTEST_SKIP() << "set VELKARIN_LONG_TESTS=1 to run";
  double c = scan::start;
  std::int64_t i = 0;
  for (const auto& segment : trials().segments()) {
    ASSERT_EQ(segment.firstIndex, i);
    for (std::int64_t j = 0; j < segment.count; ++j, ++i) {
      if (segment.start + static_cast<double>(j) * segment.increment != c) {
        FAIL() << "trial " << i << ": closed form differs from accumulation " << c;
      }
      c += scan::step;
    }
  }
  EXPECT_EQ(i, trials().size());
  EXPECT_EQ(c, trials().valueAfterLast());
}

}  // namespace
}  // namespace velkarin
