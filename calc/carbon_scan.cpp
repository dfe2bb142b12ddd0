// SPDX-License-Identifier: Apache-2.0
#include "calc/carbon_scan.h"

#include <algorithm>

namespace velkarin {

const TrialSequence& TrialSequence::scanSequence() {
  static const TrialSequence sequence(scan::start, scan::step, scan::end);
  return sequence;
}

// Within the binade of `value`, with ulp u = 2^(e−52), every trial is an
// integer multiple of u and adding `step` adds round(step/u)·u exactly as long
// as the sum stays below 2^(e+1). Counting in units of u keeps every bound an
// exact integer.
TrialSequence::TrialSequence(double start, double step, double end) {
  double value = start;
  std::int64_t index = 0;
  while (value <= end) {
    const int e = std::ilogb(value);
    const double ulp = std::ldexp(1.0, e - 52);
    const auto units = static_cast<std::int64_t>(std::ldexp(value, 52 - e));  // value / ulp, in [2^52, 2^53)
    const double exactStepUnits = std::ldexp(step, 52 - e);
    if (exactStepUnits - std::floor(exactStepUnits) == 0.5) {
      throw std::logic_error("scan step is a rounding tie in this binade; the closed form does not hold");
    }
    const auto stepUnits = static_cast<std::int64_t>(std::nearbyint(exactStepUnits));
    const std::int64_t binadeEnd = std::int64_t{1} << 53;  // 2^(e+1) / ulp
    // Trials j ≥ 0 with units + j·stepUnits < binadeEnd; the last of them
    // leaves the binade by a real addition.
    std::int64_t count = (binadeEnd - units + stepUnits - 1) / stepUnits;
    const double endUnits = std::ldexp(end, 52 - e);
    if (endUnits < static_cast<double>(binadeEnd)) {
      // Trials at most `end` (end / ulp is an integer here: end lies in this binade).
      count = std::min(count, (static_cast<std::int64_t>(endUnits) - units) / stepUnits + 1);
    }
    const double increment = static_cast<double>(stepUnits) * ulp;
    segments_.push_back({index, count, value, increment});
    index += count;
    value = (value + static_cast<double>(count - 1) * increment) + step;
  }
  size_ = index;
  afterLast_ = value;
}

double TrialSequence::value(std::int64_t index) const {
  const auto it = std::upper_bound(segments_.begin(), segments_.end(), index,
                                   [](std::int64_t i, const Segment& s) { return i < s.firstIndex; });
  const Segment& s = *(it - 1);
  return s.start + static_cast<double>(index - s.firstIndex) * s.increment;
}

}  // namespace velkarin
