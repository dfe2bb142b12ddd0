#pragma once

// The carbon scan: trial contents from 0.001 %C upward, each the previous one
// plus 0.000001 added to the running double, while the trial is at most
// 5000 %C; the first trial whose ΔG lies strictly between 0 and 2 J/mol is the
// hit. Up to about 5·10^9 trials, so the scan does not walk them:
//
// * Trial values. Within one binade [2^e, 2^(e+1)) adding the step always adds
//   the same rounded increment (the step is never a tie at any ulp in range),
//   so trial n is known in closed form per binade; crossing into the next
//   binade is one real addition. TrialSequence holds these few dozen segments.
// * Trial outcomes. ΔG evaluated exactly is strictly monotone in c for T ≠ 0,
//   and each evaluation is within a known bound of it. A bisection over the
//   trial index finds the first trial that can lie in the window given that
//   bound; the scan then tests the few candidate trials with exactly the
//   evaluation the plain loop would use. T = 0 makes ΔG constant.

#include <cmath>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <vector>

#include "calc/reaction_data.h"

namespace velkarin {

// The trial values of the scan, in closed form.
class TrialSequence {
 public:
  struct Segment {
    std::int64_t firstIndex;  // index of the segment's first trial
    std::int64_t count;       // trials in the segment
    double start;             // value of its first trial, mass %
    double increment;         // the rounded step within its binade, mass %
  };

  // The sequence of the scan (0.001, +0.000001, up to 5000). Built once.
  static const TrialSequence& scanSequence();

  TrialSequence(double start, double step, double end);

  std::int64_t size() const { return size_; }           // trials at most `end`
  double valueAfterLast() const { return afterLast_; }  // the first accumulated value beyond `end`
  double value(std::int64_t index) const;               // trial `index`, 0 ≤ index < size()
  const std::vector<Segment>& segments() const { return segments_; }

 private:
  std::vector<Segment> segments_;
  std::int64_t size_ = 0;
  double afterLast_ = 0;
};

struct ScanResult {
  bool hit = false;
  double trialCarbon = 0;                  // the hit trial, or the first value beyond 5000 after a run-out
  double trialFreeEnergy = 0;              // ΔG at the hit trial, or at the last trial
  std::optional<std::int64_t> trialCount;  // trials missed; empty when the first trial hit
};

// Thrown when a trial that the plain walk would evaluate has a ΔG that is not
// finite (an overflow, only at absurd temperatures).
class ScanOverflow : public std::runtime_error {
 public:
  ScanOverflow() : std::runtime_error("ΔG of a scan trial is beyond the double range") {}
};

// Runs the scan for a free-energy function f (Cr2O3FreeEnergy or
// Cr3O4FreeEnergy): f(c) is the loop's own evaluation, f.rt() the sign of its
// slope, f.errorBound() the bound on one evaluation's rounding error.
template <class FreeEnergy>
ScanResult scanCarbon(const FreeEnergy& f) {
  const TrialSequence& trials = TrialSequence::scanSequence();
  const std::int64_t n = trials.size();
  const auto g = [&](std::int64_t i) { return f(trials.value(i)); };
  const auto inWindow = [](double y) { return y > scan::windowLow && y < scan::windowHigh; };
  const auto hitAt = [&](std::int64_t i, double y) {
    ScanResult r;
    r.hit = true;
    r.trialCarbon = trials.value(i);
    r.trialFreeEnergy = y;
    if (i > 0) r.trialCount = i;
    return r;
  };
  // The plain walk meets every trial up to the last; ΔG is monotone, so its
  // largest magnitude is at the first or the last of them.
  const auto runOut = [&](double lastValue) {
    if (!std::isfinite(lastValue)) throw ScanOverflow();
    ScanResult r;
    r.trialCarbon = trials.valueAfterLast();
    r.trialFreeEnergy = lastValue;
    r.trialCount = n;
    return r;
  };

  const double first = g(0);
  if (!std::isfinite(first)) throw ScanOverflow();
  if (inWindow(first)) return hitAt(0, first);
  const double rt = f.rt();
  if (rt == 0) return runOut(g(n - 1));  // ΔG is the same at every trial

  // Orient ΔG so that it falls with the index: d(i) = ±ΔG(trial i). A trial
  // can hit only where the exact d lies within (−e, 2 + e), or for rising ΔG
  // within (−2 − e, e); `past` tells that every later trial is beyond that.
  const double e = f.errorBound();
  const double sign = rt > 0 ? 1.0 : -1.0;
  const double upper = rt > 0 ? scan::windowHigh : scan::windowLow;  // far edge seen first
  const double lower = rt > 0 ? scan::windowLow : scan::windowHigh;
  // before(i): d(i) is so far above the window that every trial up to i misses.
  const auto before = [&](std::int64_t i) { return sign * g(i) >= sign * upper + 2 * e; };
  const auto past = [&](double y) { return sign * y <= sign * lower - 2 * e; };

  const double last = g(n - 1);
  if (before(n - 1)) return runOut(last);

  // First index that is not `before`: every trial ahead of it misses.
  std::int64_t lo = 0, hi = n - 1;  // before(lo) is true or lo is 0 (checked below); before(hi) false
  if (!before(0)) {
    hi = 0;
  } else {
    while (hi - lo > 1) {
      const std::int64_t mid = lo + (hi - lo) / 2;
      if (before(mid))
        lo = mid;
      else
        hi = mid;
    }
  }
  for (std::int64_t i = hi; i < n; ++i) {
    const double y = i == n - 1 ? last : g(i);
    if (inWindow(y)) return hitAt(i, y);
    if (past(y)) break;
  }
  return runOut(last);
}

}  // namespace velkarin
