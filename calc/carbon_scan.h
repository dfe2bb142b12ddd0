// SPDX-License-Identifier: Apache-2.0
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
// * Trial outcomes. ΔG as the loop evaluates it is monotone along the trials
//   for T ≠ 0 (see scanCarbon), so a bisection over the trial index with the
//   loop's own evaluation finds the trial at which the walk stops. T = 0
//   makes ΔG constant.

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
// slope.
//
// The computed ΔG is itself monotone along the trials, not only the exact
// one: every operation of f(c) is a rounded +, − or × by a constant applied
// to terms that all move the same way as c grows (0.66·c, 0.14·c, 0.12·c and
// ln c), and rounding to nearest never reverses an order. ln c of two
// successive trials differs by at least 2·10^-10, far above its rounding
// error, so the computed logarithms keep their order too. For T > 0 the
// computed ΔG therefore never rises from one trial to the next; for T < 0 it
// never falls. Then the walk's stop is the first trial on the near side of
// the window's far edge (ΔG < 2 for T > 0, ΔG > 0 for T < 0): a hit when that
// trial is inside the window, and no hit at all when it is not, since every
// later trial lies further out. A bisection finds that trial exactly, in
// about 33 evaluations, whatever the magnitudes of A, B, T or the
// composition.
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
  // The plain walk meets every trial up to the last; ΔG is monotone, so every
  // value it meets lies between the first and the last.
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
  const double last = g(n - 1);
  if (rt == 0) return runOut(last);  // ΔG is the same at every trial
  if (!std::isfinite(last)) throw ScanOverflow();

  // ahead(y): a trial with this ΔG lies before the window's far edge, so the
  // walk goes on past it.
  const auto ahead = [&](double y) { return rt > 0 ? y >= scan::windowHigh : y <= scan::windowLow; };
  if (!ahead(first) || ahead(last)) return runOut(last);  // already past the window, or never reaching it

  // ahead(g(lo)) holds and ahead(g(hi)) does not; the stop is hi.
  std::int64_t lo = 0, hi = n - 1;
  double stop = last;
  while (hi - lo > 1) {
    const std::int64_t mid = lo + (hi - lo) / 2;
    const double y = g(mid);
    if (ahead(y)) {
      lo = mid;
    } else {
      hi = mid;
      stop = y;
    }
  }
  if (inWindow(stop)) return hitAt(hi, stop);
  return runOut(last);
}

}  // namespace velkarin
