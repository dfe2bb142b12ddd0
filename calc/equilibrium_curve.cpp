#include "calc/equilibrium_curve.h"

#include <cmath>
#include <initializer_list>

#include "calc/number_text.h"
#include "calc/reaction_data.h"

namespace velkarin {
namespace {

EquilibriumCarbon found(double carbon) { return {carbon, CarbonGap::None}; }
EquilibriumCarbon gap(CarbonGap reason) { return {std::nullopt, reason}; }

// Root of g(c) = f(c) − level on [scan::start, scan::end], with g falling
// strictly in c (f.rt() > 0). The bracket [lo, hi] keeps g(lo) > 0 > g(hi).
// Each step is a regula-falsi step in ln c (ΔG is close to linear in ln c at
// low carbon), with the Illinois halving of the end that stays twice in a
// row; when two steps in a row have not halved the bracket's width in ln c,
// the next step bisects instead. The loop ends when lo and hi are adjacent
// doubles; every step stays strictly inside the bracket, so it always ends.
template <class Falling>
EquilibriumCarbon solveFalling(const Falling& g) {
  double lo = scan::start, hi = scan::end;
  const double gStart = g(lo), gEnd = g(hi);
  if (!std::isfinite(gStart) || !std::isfinite(gEnd)) return gap(CarbonGap::InvalidInput);
  if (gStart < 0) return gap(CarbonGap::BelowRange);
  if (gEnd > 0) return gap(CarbonGap::AboveRange);
  if (gStart == 0) return found(lo);
  if (gEnd == 0) return found(hi);

  double gLo = gStart, gHi = gEnd;  // secant weights; Illinois may halve them
  double uLo = std::log(lo), uHi = std::log(hi);
  int kept = 0;       // +1: lo moved last time, −1: hi moved last time
  int slowSteps = 0;  // steps since the ln-width last halved
  double halvingWidth = uHi - uLo;
  for (int step = 0; step < 1000 && std::nextafter(lo, hi) < hi; ++step) {
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
    if (y == 0) return found(c);
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
  // Adjacent doubles around the sign change: the nearer to the level wins.
  return found(std::fabs(g(lo)) <= std::fabs(g(hi)) ? lo : hi);
}

template <class FreeEnergy>
EquilibriumCarbon solveCarbon(const FreeEnergy& f, double level) {
  if (!(f.rt() > 0) || !std::isfinite(f.rt()) || !std::isfinite(level)) return gap(CarbonGap::InvalidInput);
  return solveFalling([&](double c) { return f(c) - level; });  // the sign of f(c) − level is exact
}

// Negating ΔG is exact, so for T < 0 the root of −ΔG is the root of ΔG.
template <class FreeEnergy>
EquilibriumCarbon solveSignChange(const FreeEnergy& f) {
  const double rt = f.rt();
  if (rt == 0 || !std::isfinite(rt)) return gap(CarbonGap::InvalidInput);
  if (rt > 0) return solveFalling([&](double c) { return f(c); });
  return solveFalling([&](double c) { return -f(c); });
}

bool allFinite(std::initializer_list<double> values) {
  for (double v : values) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

}  // namespace

std::optional<ReactionLine> readReactionLine(const ReactionConstants& constants) {
  const ReadResult a = readConstantText(constants.a);
  const ReadResult b = readConstantText(constants.b);
  if (a.error || b.error) return std::nullopt;
  return ReactionLine{a.value, b.value};
}

ReactionLine presetLine(Reaction reaction, std::size_t row) {
  const PresetRow& preset = reactionData(reaction).presets[row];
  return *readReactionLine({std::string(preset.a), std::string(preset.b)});
}

CurveComposition compositionOf(const MeltState& state) {
  return {state.chromium, state.nickel, state.silicon, state.manganese};
}

std::string_view carbonGapId(CarbonGap gap) {
  switch (gap) {
    case CarbonGap::None:
      return "none";
    case CarbonGap::BelowRange:
      return "below-range";
    case CarbonGap::AboveRange:
      return "above-range";
    case CarbonGap::InvalidInput:
      return "invalid-input";
  }
  return "invalid-input";
}

EquilibriumCarbon carbonAtFreeEnergy(const Cr2O3FreeEnergy& f, double freeEnergy) { return solveCarbon(f, freeEnergy); }

EquilibriumCarbon carbonAtFreeEnergy(const Cr3O4FreeEnergy& f, double freeEnergy) { return solveCarbon(f, freeEnergy); }

EquilibriumCarbon signChangeCarbon(const Cr2O3FreeEnergy& f) { return solveSignChange(f); }

EquilibriumCarbon signChangeCarbon(const Cr3O4FreeEnergy& f) { return solveSignChange(f); }

EquilibriumCarbon equilibriumCarbon(Reaction reaction, const ReactionLine& line, double temperatureCelsius,
                                    double coPressure, const CurveComposition& composition) {
  if (!allFinite({line.a, line.b, temperatureCelsius, coPressure, composition.chromium, composition.nickel,
                  composition.silicon, composition.manganese})) {
    return gap(CarbonGap::InvalidInput);
  }
  MeltState state;
  state.temperature = temperatureCelsius + constants::kelvinOffset;
  state.chromium = composition.chromium;
  state.nickel = composition.nickel;
  state.silicon = composition.silicon;
  state.manganese = composition.manganese;
  state.coPressure = coPressure;
  if (!(state.temperature > 0) || !(coPressure > 0) || !(composition.chromium > 0)) {
    return gap(CarbonGap::InvalidInput);
  }
  // The same two logarithms, of the same quotient, as the calculation takes.
  const FreeEnergyInputs in{line.a, line.b, state, std::log(coPressure / constants::standardPressure),
                            std::log(composition.chromium)};
  return withFreeEnergy(reaction, in, [](const auto& f) { return solveCarbon(f, 0.0); });
}

std::vector<double> curveTemperatures(const TemperatureRange& range) {
  const double start = range.startCelsius, end = range.endCelsius, step = range.stepCelsius;
  if (!allFinite({start, end, step}) || !(step > 0) || end < start) return {};
  const double intervals = std::floor((end - start) / step + 1e-9);
  if (!(intervals < static_cast<double>(maxCurvePoints))) return {};
  const auto count = static_cast<std::size_t>(intervals) + 1;
  std::vector<double> temperatures;
  temperatures.reserve(count);
  for (std::size_t i = 0; i < count; ++i) temperatures.push_back(start + static_cast<double>(i) * step);
  return temperatures;
}

std::string curvePressureLabel(double coPressure) {
  return formatShortest(coPressure) + " Pa (" +
         formatPattern(coPressure / constants::standardPressure, DigitPattern::Decimals3) + ")";
}

std::vector<EquilibriumCurve> equilibriumCurveFamily(const CurveFamilyInputs& inputs) {
  const std::vector<double> temperatures = curveTemperatures(inputs.temperatures);
  std::vector<EquilibriumCurve> curves;
  curves.reserve(inputs.coPressures.size());
  for (std::size_t i = 0; i < inputs.coPressures.size(); ++i) {
    const double pressure = inputs.coPressures[i];
    const bool named = i < inputs.labels.size() && !inputs.labels[i].empty();
    EquilibriumCurve curve{pressure, named ? inputs.labels[i] : curvePressureLabel(pressure), {}};
    curve.points.reserve(temperatures.size());
    for (double t : temperatures) {
      curve.points.push_back({t, equilibriumCarbon(inputs.reaction, inputs.line, t, pressure, inputs.composition)});
    }
    curves.push_back(std::move(curve));
  }
  return curves;
}

std::string curveFamilyTsv(std::span<const EquilibriumCurve> curves) {
  std::string text = "t/℃";
  for (const EquilibriumCurve& curve : curves) text += '\t' + curve.label;
  text += '\n';
  if (curves.empty()) return text;
  const std::size_t rows = curves.front().points.size();
  for (std::size_t i = 0; i < rows; ++i) {
    text += formatShortest(curves.front().points[i].temperatureCelsius);
    for (const EquilibriumCurve& curve : curves) {
      text += '\t';
      if (i < curve.points.size() && curve.points[i].carbon.carbon) {
        text += formatPattern(*curve.points[i].carbon.carbon, DigitPattern::Decimals6);
      }
    }
    text += '\n';
  }
  return text;
}

}  // namespace velkarin
