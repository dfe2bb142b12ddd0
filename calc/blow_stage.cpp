#include "calc/blow_stage.h"

#include <cmath>
#include <limits>

#include "calc/csv_field.h"
#include "calc/free_energy.h"
#include "calc/number_text.h"
#include "calc/reaction_data.h"
#include "calc/result_presentation.h"

namespace velkarin {
namespace {

constexpr std::array<Reaction, 2> bothReactions{Reaction::Cr2O3, Reaction::Cr3O4};

std::size_t indexOf(Reaction reaction) { return static_cast<std::size_t>(reaction); }

std::string reactionName(Reaction reaction) { return std::string(reactionData(reaction).name); }

// The free-energy inputs of a state at temperature T (K) and pressure p (Pa).
FreeEnergyInputs inputsAt(Reaction reaction, const StageSettings& s, double kelvin, double coPressure) {
  MeltState state;
  state.temperature = kelvin;
  state.chromium = s.composition.chromium;
  state.nickel = s.composition.nickel;
  state.silicon = s.composition.silicon;
  state.manganese = s.composition.manganese;
  state.coPressure = coPressure;
  const ReactionLine& line = s.lines[indexOf(reaction)];
  return {line.a, line.b, state, std::log(coPressure / constants::standardPressure), std::log(state.chromium)};
}

// ΔG(target) = 0 solved for T, K: ΔG = A + T·(B + 19.147142·X(target)), where
// X does not depend on T. NaN where the line never crosses 0 at T > 0.
double kelvinAtTarget(Reaction reaction, const StageSettings& s, double coPressure, double target) {
  const FreeEnergyInputs in = inputsAt(reaction, s, 1, coPressure);
  const double sum = withFreeEnergy(reaction, in, [&](const auto& f) { return f.logSum(target); });
  const double kelvin = -in.a / (in.b + constants::rLn10 * sum);
  return kelvin > 0 && std::isfinite(kelvin) ? kelvin : std::numeric_limits<double>::quiet_NaN();
}

// ΔG(target) = 0 solved for p_CO, Pa: X = Y + (3·ln(p/101325))·0.4343.
double pressureAtTarget(Reaction reaction, const StageSettings& s, double kelvin, double target) {
  const FreeEnergyInputs in = inputsAt(reaction, s, kelvin, constants::standardPressure);
  return withFreeEnergy(reaction, in, [&](const auto& f) {
    const double lnRatio = -((in.a + in.b * kelvin) / f.rt() + f.logSumWithoutPressure(target)) / (3 * constants::lgE);
    return constants::standardPressure * std::exp(lnRatio);
  });
}

// A root with six decimals, or the side of the range where it lies, as the
// calculation window writes it.
std::string carbonText(const EquilibriumCarbon& carbon) {
  if (carbon.carbon) return formatPattern(*carbon.carbon, DigitPattern::Decimals6);
  return std::string(noRootText(carbon.gap));
}

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

StageResult evaluateStage(const BlowStage& stage, const StageSettings& settings) {
  StageResult r;
  if (!validMixture(settings.mixture)) {
    r.problem = "总压或CO生成率不对";
    return r;
  }
  const PressureItemReading gas = readPressureItem(stage.gas, settings.mixture);
  if (gas.problem) {
    PressureListItems list{{}, gas.problem, stage.gas};
    r.problem = pressureItemsMessage(list, 1);
    return r;
  }
  const std::optional<double> t = readFiniteNumber(stage.temperature);
  if (!t) {
    r.problem = "温度“" + std::string(trimmedItem(stage.temperature)) + "”不是数字";
    return r;
  }
  if (!trimmedItem(stage.measuredCarbon).empty()) {
    r.measuredCarbon = readFiniteNumber(stage.measuredCarbon);
    if (!r.measuredCarbon || !(*r.measuredCarbon > 0)) {
      r.problem = "实测C浓度“" + std::string(trimmedItem(stage.measuredCarbon)) + "”不是正数";
      r.measuredCarbon.reset();
      return r;
    }
  }
  r.pressure = *gas.item;
  r.temperatureCelsius = *t;
  for (Reaction reaction : bothReactions) {
    r.carbon[indexOf(reaction)] =
        equilibriumCarbon(reaction, settings.lines[indexOf(reaction)], *t, r.pressure.coPressure, settings.composition);
  }
  // The higher root governs; a root below the range loses to any other.
  const auto rank = [&](Reaction reaction) {
    const EquilibriumCarbon& c = r.carbon[indexOf(reaction)];
    if (c.carbon) return *c.carbon;
    return c.gap == CarbonGap::AboveRange ? std::numeric_limits<double>::infinity() : -1.0;
  };
  const double first = rank(Reaction::Cr2O3), second = rank(Reaction::Cr3O4);
  if (first > 0 || second > 0) r.governing = first >= second ? Reaction::Cr2O3 : Reaction::Cr3O4;
  const std::optional<double> equilibrium = governingCarbon(r);
  if (r.measuredCarbon && equilibrium) r.margin = *r.measuredCarbon - *equilibrium;
  return r;
}

std::optional<double> governingCarbon(const StageResult& result) {
  if (!result.governing) return std::nullopt;
  return result.carbon[indexOf(*result.governing)].carbon;
}

std::optional<std::size_t> firstStageAtTarget(std::span<const StageResult> results, double targetCarbon) {
  for (std::size_t i = 0; i < results.size(); ++i) {
    const StageResult& r = results[i];
    if (!r.problem.empty()) continue;
    const std::optional<double> carbon = governingCarbon(r);
    // Both roots below 0.001 %C are below any target too.
    const bool belowRange =
        !r.governing && r.carbon[0].gap == CarbonGap::BelowRange && r.carbon[1].gap == CarbonGap::BelowRange;
    if ((carbon && *carbon <= targetCarbon) || belowRange) return i;
  }
  return std::nullopt;
}

StageSolution solveStageTemperature(const StageResult& stage, const StageSettings& settings, double targetCarbon,
                                    const TemperatureRange& range) {
  StageSolution s;
  s.coPressure = stage.pressure.coPressure;
  s.ratio = ratioForPressure(s.coPressure, settings.mixture);
  if (!stage.problem.empty()) {
    s.message = stage.problem;
    return s;
  }
  // The equilibrium carbon falls as the bath gets hotter: the reaction that
  // needs the higher temperature governs.
  double kelvin = -std::numeric_limits<double>::infinity();
  for (Reaction reaction : bothReactions) {
    const double k = kelvinAtTarget(reaction, settings, s.coPressure, targetCarbon);
    if (std::isnan(k)) {
      s.message = reactionName(reaction) + "在此CO分压下没有使平衡C浓度为目标值的温度";
      return s;
    }
    if (k > kelvin) {
      kelvin = k;
      s.governing = reaction;
    }
  }
  s.temperatureCelsius = kelvin - constants::kelvinOffset;
  const std::string target = formatShortest(targetCarbon);
  if (!(s.temperatureCelsius >= range.startCelsius && s.temperatureCelsius <= range.endCelsius)) {
    s.message = "在" + formatShortest(range.startCelsius) + "～" + formatShortest(range.endCelsius) +
                "℃之间没有使平衡C浓度达到" + target + "%C的温度（需要" +
                formatPattern(s.temperatureCelsius, DigitPattern::Whole) + "℃）";
    return s;
  }
  s.found = true;
  s.message = "p_CO = " + formatPattern(s.coPressure, DigitPattern::Whole) + " Pa时，熔池温度" +
              formatPattern(s.temperatureCelsius, DigitPattern::Decimals3) + "℃使平衡C浓度为" + target + "%C（" +
              reactionName(s.governing) + "控制）";
  return s;
}

StageSolution solveStagePressure(const StageResult& stage, const StageSettings& settings, double targetCarbon) {
  StageSolution s;
  s.temperatureCelsius = stage.temperatureCelsius;
  if (!stage.problem.empty()) {
    s.message = stage.problem;
    return s;
  }
  // The equilibrium carbon rises with p_CO: the reaction that allows the
  // lower pressure governs.
  const double kelvin = stage.temperatureCelsius + constants::kelvinOffset;
  if (!(kelvin > 0)) {
    s.message = "熔池温度不高于-273℃";
    return s;
  }
  double pressure = std::numeric_limits<double>::infinity();
  for (Reaction reaction : bothReactions) {
    const double p = pressureAtTarget(reaction, settings, kelvin, targetCarbon);
    if (p < pressure) {
      pressure = p;
      s.governing = reaction;
    }
  }
  const std::string target = formatShortest(targetCarbon);
  if (!(pressure > 0) || !std::isfinite(pressure)) {
    s.message = "在" + formatShortest(stage.temperatureCelsius) + "℃下没有使平衡C浓度达到" + target + "%C的CO分压";
    return s;
  }
  s.found = true;
  s.coPressure = pressure;
  s.ratio = ratioForPressure(pressure, settings.mixture);
  if (std::isinf(s.ratio)) {
    s.message = "在" + formatShortest(stage.temperatureCelsius) + "℃下纯吹氧（p_CO = 总压）平衡C浓度也不高于" + target +
                "%C：任何气体比都可以（" + reactionName(s.governing) +
                "控制时允许p_CO = " + formatPattern(pressure, DigitPattern::Whole) + " Pa）";
    return s;
  }
  s.message = "在" + formatShortest(stage.temperatureCelsius) + "℃下，气体比O2:惰性气体 = " + ratioText(s.ratio) +
              "（p_CO = " + formatPattern(pressure, DigitPattern::Whole) + " Pa）使平衡C浓度为" + target + "%C（" +
              reactionName(s.governing) + "控制）";
  return s;
}

std::string ratioText(double ratio) {
  if (std::isinf(ratio)) return "1:0";
  const auto digits3 = [](double x) {  // three significant digits for x ≥ 1
    const double scale = x >= 100 ? 1 : x >= 10 ? 10 : 100;
    return formatShortest(std::round(x * scale) / scale);
  };
  if (ratio >= 1) return digits3(ratio) + ":1";
  return "1:" + digits3(1 / ratio);
}

std::vector<std::vector<std::string>> stageTable(std::span<const BlowStage> stages,
                                                 std::span<const StageResult> results) {
  std::vector<std::vector<std::string>> table{{"阶段", "气体比或CO分压", "温度/℃", "实测%C", "p_CO/Pa", "Cr2O3平衡%C",
                                               "Cr3O4平衡%C", "控制氧化物", "余量%C", "说明"}};
  for (std::size_t i = 0; i < stages.size() && i < results.size(); ++i) {
    const BlowStage& stage = stages[i];
    const StageResult& r = results[i];
    std::vector<std::string> row{std::to_string(i + 1), std::string(trimmedItem(stage.gas)),
                                 std::string(trimmedItem(stage.temperature)),
                                 std::string(trimmedItem(stage.measuredCarbon))};
    if (!r.problem.empty()) {
      row.insert(row.end(), {"", "", "", "", "", r.problem});
    } else {
      row.push_back(formatPattern(r.pressure.coPressure, DigitPattern::Whole));
      row.push_back(carbonText(r.carbon[0]));
      row.push_back(carbonText(r.carbon[1]));
      row.push_back(r.governing ? reactionName(*r.governing) : "");
      row.push_back(r.margin ? formatPattern(*r.margin, DigitPattern::Decimals6) : "");
      row.push_back("");
    }
    table.push_back(std::move(row));
  }
  return table;
}

std::string stageTableTsv(const std::vector<std::vector<std::string>>& table) { return joined(table, false); }
std::string stageTableCsv(const std::vector<std::vector<std::string>>& table) { return joined(table, true); }

}  // namespace velkarin
