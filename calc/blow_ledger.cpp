// SPDX-License-Identifier: Apache-2.0
#include "calc/blow_ledger.h"

#include <charconv>
#include <cmath>

#include "calc/number_list.h"
#include "calc/number_text.h"
#include "calc/reaction_data.h"

namespace velkarin {
namespace {

// kmol of O2 per kg of an element, and kg of chromium per kmol of O2 for
// each oxide, from the reactions.
constexpr double oxygenPerCarbon = 0.5 / molar::carbon;    // C + ½O2 → CO
constexpr double oxygenPerSilicon = 1.0 / molar::silicon;  // Si + O2 → SiO2
double chromiumPerOxygen(Reaction oxide) {                 // kg Cr per kmol O2
  return (oxide == Reaction::Cr2O3 ? 4.0 / 3.0 : 3.0 / 2.0) * molar::chromium;
}
// kmol of Si, and of Al, that win back one kmol of chromium.
double siliconPerChromium(Reaction oxide) { return oxide == Reaction::Cr2O3 ? 3.0 / 4.0 : 2.0 / 3.0; }
double aluminiumPerChromium(Reaction oxide) { return oxide == Reaction::Cr2O3 ? 1.0 : 8.0 / 9.0; }

LedgerProblem heatProblem(const HeatCharge& heat, const GasMixture& mixture) {
  if (!heat.massTonnes) return LedgerProblem::NoMass;
  if (!(*heat.massTonnes > 0) || !std::isfinite(*heat.massTonnes)) return LedgerProblem::MassNotPositive;
  if (!heat.startCarbon) return LedgerProblem::NoStartCarbon;
  if (!(*heat.startCarbon > 0) || !std::isfinite(*heat.startCarbon)) return LedgerProblem::StartCarbonNotPositive;
  if (!validMixture(mixture)) return LedgerProblem::BadCoShare;
  if (!(heat.fesiGrade > 0 && heat.fesiGrade <= 100)) return LedgerProblem::BadFesiGrade;
  if (!(heat.basicity > 0) || !std::isfinite(heat.basicity)) return LedgerProblem::BadBasicity;
  if (heat.oxygenFlow && (!(*heat.oxygenFlow > 0) || !std::isfinite(*heat.oxygenFlow))) {
    return LedgerProblem::BadOxygenFlow;
  }
  if (!(heat.silicon >= 0) || !(heat.chromium >= 0)) return LedgerProblem::SiliconOrChromiumNegative;
  return LedgerProblem::None;
}

// The O2 : inert ratio of a stage's gas under the mixture.
double stageRatio(const StageResult& result, const GasMixture& mixture) {
  if (result.pressure.ratio) {
    const GasRatio& r = *result.pressure.ratio;
    return r.inert == 0 ? INFINITY : r.oxygen / r.inert;
  }
  return ratioForPressure(result.pressure.coPressure, mixture);
}

}  // namespace

BlowLedger blowLedger(std::span<const BlowStage> stages, std::span<const StageResult> results, const HeatCharge& heat,
                      const GasMixture& mixture) {
  BlowLedger ledger;
  ledger.problem = heatProblem(heat, mixture);
  if (ledger.problem != LedgerProblem::None) return ledger;
  const double kgPerPercent = *heat.massTonnes * 10;  // kg of an element per mass % of the melt
  const double chromiumCharge = heat.chromium * kgPerPercent;
  double carbonBefore = *heat.startCarbon;           // mass %
  double siliconLeft = heat.silicon * kgPerPercent;  // kg
  double chromiumLost = 0;                           // kg
  // The start carbon's own oxygen (kg of C, Nm³ of O2) must stay in range too,
  // or a typed 1e306 %C would book infinite figures stage by stage.
  const double startCarbonKg = carbonBefore * kgPerPercent;
  if (!std::isfinite(kgPerPercent) || !std::isfinite(chromiumCharge) || !std::isfinite(siliconLeft)) {
    ledger.problem = LedgerProblem::HeatOutOfRange;
    return ledger;
  }
  if (!std::isfinite(startCarbonKg * 22.4 / 12)) {
    ledger.problem = LedgerProblem::StartCarbonOutOfRange;
    return ledger;
  }
  // carbonBefore is the end carbon of the stage before, or of the last
  // stage before it that has one; gap is set when that is not the stage
  // right before (a stage between has no end carbon).
  bool gap = false;
  bool flowTooSmall = false;  // a stage's minutes beyond the double range
  bool allGood = true;
  LedgerStage totals;
  Reduction reduction;
  double reductionSilicon = 0, reductionAluminium = 0;  // kmol
  for (std::size_t i = 0; i < stages.size() && i < results.size(); ++i) {
    const StageResult& result = results[i];
    LedgerStage s;
    s.margin = result.margin;
    const auto fail = [&](LedgerProblem problem) {
      s.problem = problem;
      allGood = false;
    };
    const bool oxygenGiven = !trimmedItem(stages[i].oxygen).empty();
    bool outOfRange = false;
    // The typed O2, Nm³; 0 where the cell is empty or not a number.
    const double typedOxygen = oxygenGiven ? readCellNumber(stages[i].oxygen, outOfRange).value_or(0) : 0;
    if (result.issue != StageIssue::None) {
      fail(LedgerProblem::StageNotRead);
    } else if (!result.measuredCarbon) {
      fail(LedgerProblem::NoEndCarbon);
    } else if (*result.measuredCarbon > carbonBefore) {
      fail(LedgerProblem::EndCarbonAboveStart);
      s.needed = carbonBefore;
    } else if (oxygenGiven && !(typedOxygen > 0 && std::isfinite(typedOxygen))) {
      fail(LedgerProblem::OxygenNotANumber);
    }
    // A stage that cannot be booked still hands on its end carbon where it
    // has one: the next stage runs from it, not from an earlier carbon.
    const auto handOn = [&] {
      const bool known = result.measuredCarbon && *result.measuredCarbon <= carbonBefore;
      if (known) carbonBefore = *result.measuredCarbon;
      gap = !known;
      ledger.stages.push_back(s);
    };
    if (s.problem != LedgerProblem::None) {
      handOn();
      continue;
    }
    s.carbonRemoved = (carbonBefore - *result.measuredCarbon) * kgPerPercent;
    s.carbonOxygen = s.carbonRemoved * oxygenPerCarbon * molar::volume;
    s.carbonMonoxide = s.carbonRemoved / molar::carbon * molar::volume;
    s.oxygenTyped = oxygenGiven;
    s.oxygen = oxygenGiven ? typedOxygen : s.carbonOxygen / mixture.coShare;
    if (s.oxygen < s.carbonOxygen) {
      // After a stage without an end carbon this stage spans both: its O2
      // is not too little for its own carbon.
      fail(gap ? LedgerProblem::AfterUnknownCarbon : LedgerProblem::OxygenBelowCarbon);
      s.needed = s.carbonOxygen;
      handOn();
      continue;
    }
    s.efficiency = s.oxygen > 0 ? s.carbonOxygen / s.oxygen : 1;
    // The oxygen carbon did not take: silicon first, then chromium.
    double rest = (s.oxygen - s.carbonOxygen) / molar::volume;  // kmol O2
    const double siliconOxygen = std::min(rest, siliconLeft * oxygenPerSilicon);
    s.siliconOxidised = siliconOxygen / oxygenPerSilicon;
    siliconLeft -= s.siliconOxidised;
    rest -= siliconOxygen;
    if (rest > 0 && !result.governing) {
      fail(LedgerProblem::NoGoverningOxide);
      handOn();
      continue;
    }
    s.oxide = result.governing.value_or(Reaction::Cr2O3);
    s.chromiumOxidised = rest > 0 ? rest * chromiumPerOxygen(s.oxide) : 0;
    if (s.chromiumOxidised > chromiumCharge - chromiumLost) {
      fail(LedgerProblem::ChromiumExhausted);
      s.needed = s.chromiumOxidised;
      s.chromiumLeft = chromiumCharge - chromiumLost;
      handOn();
      continue;
    }
    chromiumLost += s.chromiumOxidised;
    s.chromiumAfter = (chromiumCharge - chromiumLost) / kgPerPercent;
    const double ratio = stageRatio(result, mixture);
    s.inert = std::isinf(ratio) ? 0 : s.oxygen / ratio;
    if (heat.oxygenFlow) s.minutes = s.oxygen / *heat.oxygenFlow;
    if (s.minutes && !std::isfinite(*s.minutes)) flowTooSmall = true;
    s.efficiencyUnreachable = s.margin && *s.margin < 0 && (!s.oxygenTyped || !(s.chromiumOxidised > 0));
    carbonBefore = *result.measuredCarbon;
    gap = false;

    for (double LedgerStage::*field :
         {&LedgerStage::oxygen, &LedgerStage::inert, &LedgerStage::carbonRemoved, &LedgerStage::carbonOxygen,
          &LedgerStage::carbonMonoxide, &LedgerStage::siliconOxidised, &LedgerStage::chromiumOxidised}) {
      totals.*field += s.*field;
    }
    if (s.minutes) totals.minutes = totals.minutes.value_or(0) + *s.minutes;
    bool finite = std::isfinite(s.inert);
    for (const double value : {totals.oxygen, totals.inert, totals.carbonRemoved, totals.carbonOxygen,
                               totals.carbonMonoxide, totals.siliconOxidised, totals.chromiumOxidised}) {
      finite = finite && std::isfinite(value);
    }
    if (!finite) fail(LedgerProblem::OxygenOutOfRange);
    totals.chromiumAfter = s.chromiumAfter;
    totals.oxide = s.oxide;
    const double chromiumKmol = s.chromiumOxidised / molar::chromium;
    reductionSilicon += chromiumKmol * siliconPerChromium(s.oxide);
    reductionAluminium += chromiumKmol * aluminiumPerChromium(s.oxide);
    ledger.stages.push_back(s);
  }
  if (flowTooSmall) return BlowLedger{LedgerProblem::OxygenFlowTooSmall, {}, {}, {}};
  if (!allGood || ledger.stages.empty()) return ledger;
  totals.efficiency = totals.oxygen > 0 ? totals.carbonOxygen / totals.oxygen : 1;
  ledger.totals = totals;
  reduction.silicon = reductionSilicon * molar::silicon;
  reduction.fesi = reduction.silicon / (heat.fesiGrade / 100);
  reduction.aluminium = reductionAluminium * molar::aluminium;
  const double blowSilica = totals.siliconOxidised / molar::silicon;  // kmol SiO2 of the blow
  reduction.silica = (blowSilica + reductionSilicon) * molar::silica;
  reduction.lime = heat.basicity * reduction.silica;
  reduction.slag = reduction.lime + reduction.silica;
  if (!std::isfinite(reduction.fesi)) return BlowLedger{LedgerProblem::FesiGradeTooSmall, {}, {}, {}};
  if (!std::isfinite(reduction.slag)) return BlowLedger{LedgerProblem::BasicityTooLarge, {}, {}, {}};
  ledger.reduction = reduction;
  return ledger;
}

std::string fixedText(double value, int decimals) {
  char buffer[64];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (ec != std::errc()) return formatShortest(value);
  std::string text(buffer, end);
  if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);  // no "-0.0"
  return text;
}

namespace {

// The rows, an empty line, then the reduction as two-cell rows: the stage
// table's own joining, so both tables are written alike.
std::vector<std::vector<std::string>> reductionRows(const LedgerTable& table) {
  std::vector<std::vector<std::string>> rows{{}};  // the empty line
  for (const auto& [label, value] : table.reduction) rows.push_back({label, value});
  return rows;
}

}  // namespace

std::string ledgerTsv(const LedgerTable& table) {
  return stageTableTsv(table.rows) + stageTableTsv(reductionRows(table));
}
std::string ledgerCsv(const LedgerTable& table) {
  return stageTableCsv(table.rows) + stageTableCsv(reductionRows(table));
}

}  // namespace velkarin
