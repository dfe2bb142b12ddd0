// SPDX-License-Identifier: Apache-2.0
#include "calc/equilibrium_curve.h"

#include <cmath>
#include <initializer_list>

#include "calc/number_text.h"
#include "calc/reaction_data.h"
#include "calc/root_finding.h"

namespace velkarin {
namespace {

template <class FreeEnergy>
EquilibriumCarbon solveCarbon(const FreeEnergy& f, double level) {
  if (!(f.rt() > 0) || !std::isfinite(f.rt()) || !std::isfinite(level)) return rootdetail::gap(CarbonGap::InvalidInput);
  return solveFalling([&](double c) { return f(c) - level; });  // the sign of f(c) − level is exact
}

// Negating ΔG is exact, so for T < 0 the root of −ΔG is the root of ΔG.
template <class FreeEnergy>
EquilibriumCarbon solveSignChange(const FreeEnergy& f) {
  const double rt = f.rt();
  if (rt == 0 || !std::isfinite(rt)) return rootdetail::gap(CarbonGap::InvalidInput);
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

ReactionConstants presetConstants(Reaction reaction, std::size_t row) {
  const PresetRow& preset = reactionData(reaction).presets[row];
  return {std::string(preset.a), std::string(preset.b)};
}

ReactionLine presetLine(Reaction reaction, std::size_t row) {
  return *readReactionLine(presetConstants(reaction, row));
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
    case CarbonGap::NotConverged:
      return "not-converged";
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
    return rootdetail::gap(CarbonGap::InvalidInput);
  }
  MeltState state;
  state.temperature = temperatureCelsius + constants::kelvinOffset;
  state.chromium = composition.chromium;
  state.nickel = composition.nickel;
  state.silicon = composition.silicon;
  state.manganese = composition.manganese;
  state.coPressure = coPressure;
  if (!(state.temperature > 0) || !(coPressure > 0) || !(composition.chromium > 0)) {
    return rootdetail::gap(CarbonGap::InvalidInput);
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
  return formatPlain(coPressure) + " Pa (" +
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
