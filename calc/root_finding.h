// SPDX-License-Identifier: Apache-2.0
#pragma once

// The root finders of the core. Each says whether it converged: a bracket
// that is still open when the step limit runs out gives no root.
//
// solveFalling: the carbon content in [scan::start, scan::end] %C at which a
// falling g(c) crosses 0 (the equilibrium carbon of a state), to adjacent
// doubles. bracketRoot: the x in [lo, hi] at which any continuous g changes
// sign, for the inverse solves of a blow stage (temperature, ln p_CO).

#include <cmath>
#include <optional>

#include "calc/reaction_data.h"
#include "calc/records.h"

namespace velkarin {
namespace rootdetail {
inline EquilibriumCarbon found(double carbon) { return {carbon, CarbonGap::None}; }
inline EquilibriumCarbon gap(CarbonGap reason) { return {std::nullopt, reason}; }
}  // namespace rootdetail

// Root of g(c) = f(c) − level on [scan::start, scan::end], with g falling
// strictly in c (f.rt() > 0). The bracket [lo, hi] keeps g(lo) > 0 > g(hi).
// Each step is a regula-falsi step in ln c (ΔG is close to linear in ln c at
// low carbon), with the Illinois halving of the end that stays twice in a
// row; when two steps in a row have not halved the bracket's width in ln c,
// the next step bisects instead. The loop ends when lo and hi are adjacent
// doubles (every step stays strictly inside the bracket, and every third step
// at least bisects it, so that takes a few hundred steps at most); a bracket
// still open after the step limit is reported as NotConverged, not as a root.
template <class Falling>
EquilibriumCarbon solveFalling(const Falling& g, int maxSteps = 1000) {
  double lo = scan::start, hi = scan::end;
  const double gStart = g(lo), gEnd = g(hi);
  if (!std::isfinite(gStart) || !std::isfinite(gEnd)) return rootdetail::gap(CarbonGap::InvalidInput);
  if (gStart < 0) return rootdetail::gap(CarbonGap::BelowRange);
  if (gEnd > 0) return rootdetail::gap(CarbonGap::AboveRange);
  if (gStart == 0) return rootdetail::found(lo);
  if (gEnd == 0) return rootdetail::found(hi);

  double gLo = gStart, gHi = gEnd;  // secant weights; Illinois may halve them
  double uLo = std::log(lo), uHi = std::log(hi);
  int kept = 0;       // +1: lo moved last time, −1: hi moved last time
  int slowSteps = 0;  // steps since the ln-width last halved
  double halvingWidth = uHi - uLo;
  for (int step = 0; step < maxSteps && std::nextafter(lo, hi) < hi; ++step) {
    double c;
    if (slowSteps >= 2) {
      // Bisection: the geometric mean while the bracket is wide, the
      // arithmetic one when it is narrow (where they agree to rounding).
      c = hi > 2 * lo ? std::exp(uLo + (uHi - uLo) / 2) : lo + (hi - lo) / 2;
    } else {
      c = std::exp(uLo + (uHi - uLo) * (gLo / (gLo - gHi)));
    }
    if (!(c > lo && c < hi)) c = lo + (hi - lo) / 2;  // rounding put the step on an end
    if (!(c > lo && c < hi)) break;                   // lo, hi adjacent after all

    const double y = g(c);
    if (y == 0) return rootdetail::found(c);
    if (y > 0) {
      lo = c;
      uLo = std::log(c);
      gLo = y;
      if (kept == +1) gHi /= 2;
      kept = +1;
    } else {
      hi = c;
      uHi = std::log(c);
      gHi = y;
      if (kept == -1) gLo /= 2;
      kept = -1;
    }
    const double width = std::log(hi / lo);
    if (width <= halvingWidth / 2) {
      halvingWidth = width;
      slowSteps = 0;
    } else {
      ++slowSteps;
    }
  }
  if (std::nextafter(lo, hi) < hi) return rootdetail::gap(CarbonGap::NotConverged);
  // Adjacent doubles around the sign change: the nearer to the level wins.
  return rootdetail::found(std::fabs(g(lo)) <= std::fabs(g(hi)) ? lo : hi);
}

// A root of g on [lo, hi] where g(lo) and g(hi) have opposite signs (or one
// is 0): Illinois regula falsi, with a bisection whenever two steps in a row
// have not halved the bracket. Converged when g is exactly 0 at x, or the
// bracket has closed to adjacent doubles or to tolerance·max(1, |x|).
struct BracketedRoot {
  double x = 0;
  bool converged = false;
  int steps = 0;
};

template <class Function>
BracketedRoot bracketRoot(const Function& g, double lo, double hi, double tolerance, int maxSteps = 200) {
  double gLo = g(lo), gHi = g(hi);
  if (gLo == 0) return {lo, true, 0};
  if (gHi == 0) return {hi, true, 0};
  if (!(std::signbit(gLo) != std::signbit(gHi)) || !std::isfinite(gLo + gHi)) return {lo, false, 0};
  const bool rising = gLo < 0;
  double wLo = gLo, wHi = gHi;  // secant weights; Illinois halves the one that stays
  int kept = 0, slowSteps = 0;
  double halvingWidth = hi - lo;
  for (int step = 1; step <= maxSteps; ++step) {
    double x = slowSteps >= 2 ? lo + (hi - lo) / 2 : lo + (hi - lo) * (wLo / (wLo - wHi));
    if (!(x > lo && x < hi)) x = lo + (hi - lo) / 2;
    if (!(x > lo && x < hi)) return {std::fabs(gLo) <= std::fabs(gHi) ? lo : hi, true, step};
    const double y = g(x);
    if (y == 0) return {x, true, step};
    if (!std::isfinite(y)) return {x, false, step};
    if ((y < 0) == rising) {
      lo = x, gLo = wLo = y;
      if (kept == +1) wHi /= 2;
      kept = +1;
    } else {
      hi = x, gHi = wHi = y;
      if (kept == -1) wLo /= 2;
      kept = -1;
    }
    if (hi - lo <= halvingWidth / 2) {
      halvingWidth = hi - lo;
      slowSteps = 0;
    } else {
      ++slowSteps;
    }
    const double nearer = std::fabs(gLo) <= std::fabs(gHi) ? lo : hi;
    if (hi - lo <= tolerance * std::fmax(1.0, std::fabs(nearer))) return {nearer, true, step};
  }
  return {std::fabs(gLo) <= std::fabs(gHi) ? lo : hi, false, maxSteps};
}

}  // namespace velkarin
