// SPDX-License-Identifier: Apache-2.0
#include "calc/blow_stage.h"

#include <cmath>
#include <limits>

#include "calc/csv_field.h"
#include "calc/free_energy.h"
#include "calc/number_text.h"
#include "calc/reaction_data.h"

namespace velkarin {
namespace {

constexpr std::array<Reaction, 2> bothReactions{Reaction::Cr2O3, Reaction::Cr3O4};

std::string joined(const std::vector<std::vector<std::string>>& table, bool csv) {
  std::string text;
  for (const auto& row : table) {
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (i > 0) text += csv ? ',' : '\t';
      text += csv ? csvField(row[i]) : row[i];
    }
    text += csv ? "\r\n" : "\n";
  }
  return text;
}

}  // namespace

namespace {

// The rank of a root for the governing rule: its carbon, +∞ above the range,
// −1 below it; NaN (never governs) where the root is not defined.
double governingRank(const EquilibriumCarbon& c) {
  if (c.carbon) return *c.carbon;
  if (c.gap == CarbonGap::AboveRange) return std::numeric_limits<double>::infinity();
  if (c.gap == CarbonGap::BelowRange) return -1;
  return std::numeric_limits<double>::quiet_NaN();
}

StageResult withIssue(StageResult r, StageIssue issue) {
  r.issue = issue;
  return r;
}

// Why the roots of a stage whose texts are good are not defined.
StageIssue undefinedIssue(const StageResult& r) {
  if (r.temperatureCelsius + constants::kelvinOffset == 0) return StageIssue::AtAbsoluteZero;
  if (!(r.pressure.coPressure / constants::standardPressure > 0)) return StageIssue::PressureTooSmall;
  return StageIssue::NoEquilibrium;
}

bool defined(const EquilibriumCarbon& c) {
  return c.gap != CarbonGap::InvalidInput && c.gap != CarbonGap::NotConverged;
}

}  // namespace

StageResult evaluateStage(const BlowStage& stage, const StageSettings& settings) {
  StageResult r;
  if (!validMixture(settings.mixture)) return withIssue(r, StageIssue::BadMixture);
  if (trimmedItem(stage.gas).empty()) return withIssue(r, StageIssue::GasEmpty);
  const PressureItemReading gas = readPressureItem(stage.gas, settings.mixture);
  if (gas.problem) {
    r.gasProblem = gas.problem;
    return withIssue(r, StageIssue::GasBad);
  }
  if (trimmedItem(stage.temperature).empty()) return withIssue(r, StageIssue::TemperatureEmpty);
  bool outOfRange = false;
  const std::optional<double> t = readCellNumber(stage.temperature, outOfRange);
  if (!t) return withIssue(r, outOfRange ? StageIssue::TemperatureOutOfRange : StageIssue::TemperatureNotANumber);
  if (*t + constants::kelvinOffset < 0) return withIssue(r, StageIssue::BelowAbsoluteZero);
  if (!trimmedItem(stage.measuredCarbon).empty()) {
    const std::optional<double> measured = readCellNumber(stage.measuredCarbon, outOfRange);
    if (!measured || !(*measured > 0)) return withIssue(r, StageIssue::MeasuredNotPositive);
    r.measuredCarbon = measured;
  }
  r.pressure = *gas.item;
  r.temperatureCelsius = *t;
  for (Reaction reaction : bothReactions) {
    r.carbon[reactionIndex(reaction)] = equilibriumCarbon(reaction, settings.lines[reactionIndex(reaction)], *t,
                                                          r.pressure.coPressure, settings.composition);
  }
  r.governing = governingOxide(r.carbon);
  if (!defined(r.carbon[0]) && !defined(r.carbon[1])) r.issue = undefinedIssue(r);
  const std::optional<double> equilibrium = governingCarbon(r);
  if (r.measuredCarbon && equilibrium) r.margin = *r.measuredCarbon - *equilibrium;
  return r;
}

bool governsOver(const EquilibriumCarbon& a, const EquilibriumCarbon& b) {
  const double ra = governingRank(a), rb = governingRank(b);
  return ra > 0 && (std::isnan(rb) || ra > rb);
}

std::optional<Reaction> governingOxide(const std::array<EquilibriumCarbon, 2>& carbon) {
  const double first = governingRank(carbon[0]), second = governingRank(carbon[1]);
  if (!(first > 0) && !(second > 0)) return std::nullopt;
  if (!(second > 0)) return Reaction::Cr2O3;
  if (!(first > 0)) return Reaction::Cr3O4;
  return first >= second ? Reaction::Cr2O3 : Reaction::Cr3O4;
}

std::optional<double> governingCarbon(const StageResult& result) {
  if (!result.governing) return std::nullopt;
  return result.carbon[reactionIndex(*result.governing)].carbon;
}

std::optional<std::size_t> firstStageAtTarget(std::span<const StageResult> results, double targetCarbon) {
  for (std::size_t i = 0; i < results.size(); ++i) {
    const StageResult& r = results[i];
    if (r.issue != StageIssue::None) continue;
    const std::optional<double> carbon = governingCarbon(r);
    // Both roots below 0.001 %C are below any target too.
    const bool belowRange =
        !r.governing && r.carbon[0].gap == CarbonGap::BelowRange && r.carbon[1].gap == CarbonGap::BelowRange;
    if ((carbon && *carbon <= targetCarbon) || belowRange) return i;
  }
  return std::nullopt;
}

std::string ratioText(double ratio) {
  if (std::isinf(ratio)) return "1:0";
  const auto digits3 = [](double x) {  // x ≥ 1 to three significant digits
    const int exponent = static_cast<int>(std::floor(std::log10(x))) - 2;
    if (exponent >= 0) {
      const double unit = std::pow(10.0, exponent);
      return formatShortest(std::round(x / unit) * unit);
    }
    const double scale = std::pow(10.0, -exponent);
    return formatShortest(std::round(x * scale) / scale);
  };
  if (ratio >= 1) return digits3(ratio) + ":1";
  return "1:" + digits3(1 / ratio);
}

std::string targetText(double targetCarbon) { return formatShortest(targetCarbon); }

std::string stageTableTsv(const std::vector<std::vector<std::string>>& table) { return joined(table, false); }
std::string stageTableCsv(const std::vector<std::vector<std::string>>& table) { return joined(table, true); }

}  // namespace velkarin
