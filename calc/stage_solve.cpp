// SPDX-License-Identifier: Apache-2.0
#include "calc/stage_solve.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "calc/free_energy.h"
#include "calc/number_text.h"
#include "calc/reaction_data.h"
#include "calc/root_finding.h"

namespace velkarin {
namespace {

constexpr std::array<Reaction, 2> bothReactions{Reaction::Cr2O3, Reaction::Cr3O4};
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

// Samples of g over the temperature range, besides the closed-form
// candidates (where every root lies, as ΔG(target) is linear in T): 5 °C
// apart over the default 1400–1900 °C.
constexpr int temperatureIntervals = 100;

// The free-energy inputs of a state at T (K) and p_CO (Pa), as the curves build them.
FreeEnergyInputs inputsAt(Reaction reaction, const StageSettings& s, double kelvin, double coPressure) {
  MeltState state;
  state.temperature = kelvin;
  state.chromium = s.composition.chromium;
  state.nickel = s.composition.nickel;
  state.silicon = s.composition.silicon;
  state.manganese = s.composition.manganese;
  state.coPressure = coPressure;
  const ReactionLine& line = s.lines[reactionIndex(reaction)];
  return {line.a, line.b, state, std::log(coPressure / constants::standardPressure), std::log(state.chromium)};
}

// ΔG(target) = 0 solved for T in °C: ΔG = A + T·(B + 19.147142·X(target)),
// X independent of T. NaN where the line never crosses 0 at T > 0.
double celsiusAtTarget(Reaction reaction, const StageSettings& s, double coPressure, double target) {
  const FreeEnergyInputs in = inputsAt(reaction, s, 1, coPressure);
  const double sum = withFreeEnergy(reaction, in, [&](const auto& f) { return f.logSum(target); });
  const double kelvin = -in.a / (in.b + constants::rLn10 * sum);
  return kelvin > 0 && std::isfinite(kelvin) ? kelvin - constants::kelvinOffset : nan;
}

// g = G − target where G is in range; −target below the range, +∞ above it;
// NaN where G is not defined.
double offTarget(const GoverningCarbon& g, double target) {
  if (g.carbon.carbon) return *g.carbon.carbon - target;
  if (g.carbon.gap == CarbonGap::BelowRange) return -target;
  if (g.carbon.gap == CarbonGap::AboveRange) return std::numeric_limits<double>::infinity();
  return nan;
}

// The forward check: G at the answer is the target within solveTolerance.
bool reachesTarget(const GoverningCarbon& g, double target) {
  return g.carbon.carbon && g.governing && std::fabs(*g.carbon.carbon - target) <= solveTolerance * target;
}

// How far G is from the target on a log scale, to pick the nearest sample.
double logDistance(const EquilibriumCarbon& carbon, double target) {
  if (carbon.carbon) return std::fabs(std::log(*carbon.carbon / target));
  if (carbon.gap == CarbonGap::BelowRange) return std::fabs(std::log(scan::start / target));
  if (carbon.gap == CarbonGap::AboveRange) return std::fabs(std::log(scan::end / target));
  return std::numeric_limits<double>::infinity();
}

StageSolution fromStage(const StageResult& stage, const StageSettings& settings) {
  StageSolution s;
  s.temperatureCelsius = stage.temperatureCelsius;
  s.coPressure = stage.pressure.coPressure;
  s.ratio = ratioForPressure(s.coPressure, settings.mixture);
  return s;
}

struct Sample {
  double celsius;
  GoverningCarbon g;
  double off;  // offTarget
};

// The roots of g over the samples: checked samples themselves, and every
// sign change closed by the bracketed root finder and checked.
std::vector<std::pair<double, Reaction>> temperatureRoots(const std::vector<Sample>& samples,
                                                          const StageSettings& settings, double coPressure,
                                                          double target) {
  std::vector<std::pair<double, Reaction>> roots;
  const auto keep = [&](double celsius, const GoverningCarbon& g) {
    for (const auto& root : roots) {
      if (std::fabs(root.first - celsius) <= 1e-6) return;  // the same root from a sample and a bracket
    }
    roots.emplace_back(celsius, *g.governing);
  };
  for (std::size_t i = 0; i < samples.size(); ++i) {
    if (reachesTarget(samples[i].g, target)) keep(samples[i].celsius, samples[i].g);
    if (i + 1 == samples.size()) break;
    const Sample &a = samples[i], &b = samples[i + 1];
    if (std::isnan(a.off) || std::isnan(b.off) || a.off == 0 || b.off == 0 || (a.off < 0) == (b.off < 0)) continue;
    const auto g = [&](double celsius) { return offTarget(governingAt(settings, celsius, coPressure), target); };
    const BracketedRoot root = bracketRoot(g, a.celsius, b.celsius, 1e-13);
    if (!root.converged) continue;
    const GoverningCarbon at = governingAt(settings, root.x, coPressure);
    if (reachesTarget(at, target)) keep(root.x, at);
  }
  return roots;
}

}  // namespace

GoverningCarbon governingAt(const StageSettings& settings, double temperatureCelsius, double coPressure) {
  std::array<EquilibriumCarbon, 2> carbon;
  for (Reaction reaction : bothReactions) {
    carbon[reactionIndex(reaction)] = equilibriumCarbon(reaction, settings.lines[reactionIndex(reaction)],
                                                        temperatureCelsius, coPressure, settings.composition);
  }
  const std::optional<Reaction> governing = governingOxide(carbon);
  if (governing) return {carbon[reactionIndex(*governing)], governing};
  // Nothing governs: both below the range, or not defined.
  const bool below = carbon[0].gap == CarbonGap::BelowRange || carbon[1].gap == CarbonGap::BelowRange;
  return {{std::nullopt, below ? CarbonGap::BelowRange : CarbonGap::InvalidInput}, std::nullopt};
}

StageSolution solveStageTemperature(const StageResult& stage, const StageSettings& settings, double targetCarbon,
                                    const TemperatureRange& range) {
  StageSolution s = fromStage(stage, settings);
  if (!stage.read() || stage.issue == StageIssue::PressureTooSmall) return s;
  const double p = stage.pressure.coPressure;
  if (!(targetCarbon > 0) || !std::isfinite(targetCarbon) || !(range.endCelsius >= range.startCelsius)) return s;

  std::vector<double> temperatures;
  for (int i = 0; i <= temperatureIntervals; ++i) {
    temperatures.push_back(range.startCelsius + (range.endCelsius - range.startCelsius) * i / temperatureIntervals);
  }
  std::vector<double> outside;  // closed-form candidates outside the range
  for (Reaction reaction : bothReactions) {
    const double celsius = celsiusAtTarget(reaction, settings, p, targetCarbon);
    if (std::isnan(celsius)) continue;
    (celsius >= range.startCelsius && celsius <= range.endCelsius ? temperatures : outside).push_back(celsius);
  }
  std::sort(temperatures.begin(), temperatures.end());
  std::vector<Sample> samples;
  for (double celsius : temperatures) {
    const GoverningCarbon g = governingAt(settings, celsius, p);
    samples.push_back({celsius, g, offTarget(g, targetCarbon)});
  }

  std::vector<std::pair<double, Reaction>> roots = temperatureRoots(samples, settings, p, targetCarbon);
  s.status = SolveStatus::NotReachable;
  if (!roots.empty()) {
    const double own = stage.temperatureCelsius;
    std::sort(roots.begin(), roots.end(),
              [&](const auto& x, const auto& y) { return std::fabs(x.first - own) < std::fabs(y.first - own); });
    s.status = SolveStatus::Found;
    s.temperatureCelsius = roots[0].first;
    s.governing = roots[0].second;
    if (roots.size() > 1) s.otherCelsius = roots[1].first;
    return s;
  }
  // None in range: the nearest governing carbon, and the nearest checked
  // temperature outside the range that would reach the target.
  double best = std::numeric_limits<double>::infinity();
  for (const Sample& sample : samples) {
    const double distance = logDistance(sample.g.carbon, targetCarbon);
    if (distance < best) {
      best = distance;
      s.nearest = sample.g.carbon;
      s.nearestAt = sample.celsius;
      if (sample.g.governing) s.governing = *sample.g.governing;
    }
  }
  const double middle = (range.startCelsius + range.endCelsius) / 2;
  std::sort(outside.begin(), outside.end(),
            [&](double x, double y) { return std::fabs(x - middle) < std::fabs(y - middle); });
  for (double celsius : outside) {
    if (reachesTarget(governingAt(settings, celsius, p), targetCarbon)) {
      s.outsideCelsius = celsius;
      break;
    }
  }
  return s;
}

StageSolution solveStagePressure(const StageResult& stage, const StageSettings& settings, double targetCarbon) {
  StageSolution s = fromStage(stage, settings);
  if (!stage.read() || stage.issue == StageIssue::AtAbsoluteZero || stage.issue == StageIssue::NoEquilibrium) return s;
  if (!(targetCarbon > 0) || !std::isfinite(targetCarbon)) return s;
  const double t = stage.temperatureCelsius;
  if (!(t + constants::kelvinOffset > 0)) return s;  // G does not depend on p_CO at T ≤ 0 K
  const double total = settings.mixture.totalPressure;

  // G rises with p_CO: pure oxygen first, then the least pressure allowed.
  const GoverningCarbon atTotal = governingAt(settings, t, total);
  const double offAtTotal = offTarget(atTotal, targetCarbon);
  if (offAtTotal <= 0 || reachesTarget(atTotal, targetCarbon)) {
    s.status = reachesTarget(atTotal, targetCarbon) ? SolveStatus::Found : SolveStatus::AnyRatio;
    s.coPressure = total;
    s.ratio = std::numeric_limits<double>::infinity();
    if (atTotal.governing) s.governing = *atTotal.governing;
    return s;
  }
  const GoverningCarbon atLeast = governingAt(settings, t, minimumRatioPressure);
  const double offAtLeast = offTarget(atLeast, targetCarbon);
  if (std::isnan(offAtTotal) || !(offAtLeast <= 0)) {
    s.status = SolveStatus::NotReachable;
    s.nearest = atLeast.carbon;
    s.nearestAt = minimumRatioPressure;
    if (atLeast.governing) s.governing = *atLeast.governing;
    return s;
  }

  // The fast path: the lower of the two closed-form pressures.
  double pressure = nan;
  for (Reaction reaction : bothReactions) {
    const FreeEnergyInputs in = inputsAt(reaction, settings, t + constants::kelvinOffset, constants::standardPressure);
    const double p = withFreeEnergy(reaction, in, [&](const auto& f) {
      const double lnRatio = -((in.a + in.b * in.state.temperature) / f.rt() + f.logSumWithoutPressure(targetCarbon)) /
                             (3 * constants::lgE);
      return constants::standardPressure * std::exp(lnRatio);
    });
    if (p > 0 && !(p >= pressure)) pressure = p;
  }
  GoverningCarbon at = governingAt(settings, t, pressure);
  if (!(pressure >= minimumRatioPressure && pressure <= total) || !reachesTarget(at, targetCarbon)) {
    const auto g = [&](double lnP) { return offTarget(governingAt(settings, t, std::exp(lnP)), targetCarbon); };
    const BracketedRoot root = bracketRoot(g, std::log(minimumRatioPressure), std::log(total), 1e-15);
    pressure = std::clamp(std::exp(root.x), minimumRatioPressure, total);
    at = governingAt(settings, t, pressure);
    if (!root.converged || !reachesTarget(at, targetCarbon)) {
      s.status = SolveStatus::NotReachable;
      s.nearest = at.carbon;
      s.nearestAt = pressure;
      return s;
    }
  }
  s.status = SolveStatus::Found;
  s.coPressure = pressure;
  s.ratio = ratioForPressure(pressure, settings.mixture);
  s.governing = *at.governing;
  return s;
}

}  // namespace velkarin
