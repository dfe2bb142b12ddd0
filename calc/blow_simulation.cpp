// SPDX-License-Identifier: Apache-2.0
#include "calc/blow_simulation.h"

#include <algorithm>
#include <cmath>

#include "calc/bath_model.h"
#include "calc/blow_ledger.h"
#include "calc/stage_integration.h"

namespace velkarin {
namespace {

constexpr double oxygenPerCarbonKg = 0.5 / molar::carbon;  // kmol O2 per kg C
// The most oxygen a stage blowing to its C cell may take, as a multiple of
// what its carbon alone takes at η = 1.
constexpr double oxygenCapFactor = 3;

bool finite(double v) { return std::isfinite(v); }

SimulationProblem heatProblem(const SimulationHeat& h) {
  using P = SimulationProblem;
  if (!h.massTonnes) return P::NoMass;
  if (!(*h.massTonnes > 0) || !finite(*h.massTonnes)) return P::MassNotPositive;
  if (!h.startCarbon) return P::NoStartCarbon;
  if (!(*h.startCarbon > 0) || !finite(*h.startCarbon)) return P::StartCarbonNotPositive;
  if (!h.startTemperature) return P::NoStartTemperature;
  if (!(*h.startTemperature > -constants::kelvinOffset) || !(*h.startTemperature <= bath::highestStartCelsius)) {
    return P::StartTemperatureBad;
  }
  if (!h.oxygenFlow) return P::NoOxygenFlow;
  if (!(*h.oxygenFlow > 0) || !finite(*h.oxygenFlow)) return P::OxygenFlowNotPositive;
  if (!validMixture(h.mixture)) return P::BadMixture;
  const CurveComposition& c = h.composition;
  if (!(c.chromium > 0) || !finite(c.chromium) || !(c.nickel >= 0) || !finite(c.nickel) || !(c.silicon >= 0) ||
      !finite(c.silicon) || !(c.manganese >= 0) || !finite(c.manganese)) {
    return P::BadComposition;
  }
  if (!(h.slagMass >= 0) || !finite(h.slagMass)) return P::BadSlagMass;
  if (!(h.rateConstant >= 0) || !finite(h.rateConstant)) return P::BadRateConstant;
  if (!(h.heatLoss >= 0) || !finite(h.heatLoss)) return P::BadHeatLoss;
  if (!(h.reductionMinutes >= 0) || !finite(h.reductionMinutes)) return P::BadReductionTime;
  if (!(h.fesiGrade > 0 && h.fesiGrade <= 100)) return P::BadFesiGrade;
  if (!(h.basicity > 0) || !finite(h.basicity)) return P::BadBasicity;
  return P::None;
}

SimulationProblem stageProblem(const SimulationStage& s) {
  using P = SimulationProblem;
  if (s.oxygen && (!(*s.oxygen >= 0) || !finite(*s.oxygen))) return P::OxygenNegative;
  if (!s.oxygen && !s.endCarbon) return P::NoEndCriterion;
  if (s.endCarbon && (!(*s.endCarbon > 0) || !finite(*s.endCarbon))) return P::EndCarbonNotPositive;
  if (!(s.lime >= 0) || !finite(s.lime) || !(s.scrap >= 0) || !finite(s.scrap)) return P::AdditionNegative;
  return P::None;
}

// The bath between stages.
struct Bath {
  BathState state{};
  double mass = 0;       // M, kg
  double minutes = 0;    // blow time so far, min
  double oxygen = 0;     // Nm³ so far
  double limeAdded = 0;  // kg
};

// Scrap of the bath's own [%Cr] (and Ni, Mn) without C or Si, lime to the
// slag, and the heat both take.
void addAtStart(const SimulationStage& stage, Bath& bath) {
  bath.state[chromiumKg] += stage.scrap * bath.state[chromiumKg] / bath.mass;
  bath.mass += stage.scrap;
  bath.state[slagKg] += stage.lime;
  bath.limeAdded += stage.lime;
  const double heat = bath::kilojoulesPerMegajoule * (bath::scrapChill * stage.scrap + bath::limeChill * stage.lime);
  const double capacity = bath::metalHeatCapacity * bath.mass + bath::slagHeatCapacity * bath.state[slagKg];
  bath.state[temperatureC] -= heat / capacity;
}

BathConditions stageConditions(const SimulationHeat& heat, const SimulationStage& stage, const PressureItem& gas,
                               const Bath& bath) {
  BathConditions c;
  c.lines = heat.lines;
  c.nickel = heat.composition.nickel;
  c.manganese = heat.composition.manganese;
  c.bathMass = bath.mass;
  c.heatMass = bath::kilogramsPerTonne * *heat.massTonnes;
  const double flow = *heat.oxygenFlow;
  c.oxygen = flow / molar::volume;
  double ratio;  // O2 : inert
  if (gas.ratio) {
    ratio = gas.ratio->inert == 0 ? INFINITY : gas.ratio->oxygen / gas.ratio->inert;
  } else {
    ratio = ratioForPressure(gas.coPressure, heat.mixture);
  }
  c.inertFlow = std::isinf(ratio) ? 0 : flow / ratio;
  c.inert = c.inertFlow / molar::volume;
  c.gasHeatCapacity = stage.inert == InertGas::Argon ? bath::argonHeatCapacity : bath::nitrogenHeatCapacity;
  c.totalPressure = heat.mixture.totalPressure;
  c.coShare = heat.mixture.coShare;
  c.rateConstant = heat.rateConstant;
  c.heatLoss = heat.heatLoss;
  c.siliconLeft = bath.state[siliconKg] > 0;
  return c;
}

SimulationProblem endProblem(StageEnd end) {
  switch (end) {
    case StageEnd::ChromiumExhausted:
      return SimulationProblem::ChromiumExhausted;
    case StageEnd::NoEquilibrium:
      return SimulationProblem::NoEquilibrium;
    case StageEnd::Frozen:
      return SimulationProblem::BathFrozen;
    case StageEnd::Failed:
      return SimulationProblem::IntegrationFailed;
    default:
      return SimulationProblem::None;
  }
}

// Simulates one stage of good input on `bath`; its figures, or its problem.
SimulatedStage runStage(const SimulationHeat& heat, const SimulationStage& stage, const PressureItem& gas,
                        const SimulationTolerance& tolerance, Bath& bath, std::vector<PathSample>& path) {
  SimulatedStage s;
  addAtStart(stage, bath);
  BathModel model(stageConditions(heat, stage, gas, bath));
  const BathState start = bath.state;
  StageIntegration run;
  run.startMinutes = bath.minutes;
  run.tolerance = tolerance;
  const double flow = *heat.oxygenFlow;
  if (stage.oxygen) {
    run.maxMinutes = *stage.oxygen / flow;
  } else if (*stage.endCarbon * bath.mass / 100 >= start[carbonKg]) {
    s.notes |= noteBits(SimulationNote::EndCarbonNotBelowStart);
  } else {
    run.targetCarbonKg = *stage.endCarbon * bath.mass / 100;
    const double carbonOxygen = (start[carbonKg] - *run.targetCarbonKg) * oxygenPerCarbonKg * molar::volume;
    run.maxMinutes = oxygenCapFactor * carbonOxygen / flow;
  }
  const StageOutcome out = integrateStage(model, start, run, flow, bath.oxygen, path);
  s.problem = endProblem(out.end);
  if (s.problem != SimulationProblem::None) return s;
  if (run.targetCarbonKg && out.end != StageEnd::TargetCarbon) s.notes |= noteBits(SimulationNote::EndCarbonNotReached);
  if (out.lowestTemperature < bath::lowestBathCelsius || out.highestTemperature > bath::highestBathCelsius) {
    s.notes |= noteBits(SimulationNote::TemperatureOutside);
  }
  const BathState& y = out.state;
  s.minutes = out.minutes;
  s.oxygen = flow * out.minutes;
  s.inert = model.conditions().inertFlow * out.minutes;
  s.endCarbon = 100 * y[carbonKg] / bath.mass;
  s.endChromium = 100 * y[chromiumKg] / bath.mass;
  s.endSilicon = 100 * y[siliconKg] / bath.mass;
  s.endTemperature = y[temperatureC];
  s.carbonBurnt = start[carbonKg] - y[carbonKg];
  s.siliconBurnt = start[siliconKg] - y[siliconKg];
  s.chromiumBurnt = start[chromiumKg] - y[chromiumKg];
  s.chromiumToCr3O4 = y[chromiumToCr3O4Kg] - start[chromiumToCr3O4Kg];
  s.efficiency = s.oxygen > 0 ? s.carbonBurnt * oxygenPerCarbonKg * molar::volume / s.oxygen : 1;
  s.criticalCarbon = out.criticalCarbon;
  s.lowestTemperature = out.lowestTemperature;
  s.highestTemperature = out.highestTemperature;
  s.gasPressure = model.pressureAt(model.supplyRate());
  s.bathMass = bath.mass;
  s.slagMass = y[slagKg];
  bath.state = y;
  bath.minutes += out.minutes;
  bath.oxygen += s.oxygen;
  return s;
}

SimulatedStage totalsOf(const std::vector<SimulatedStage>& stages) {
  SimulatedStage t = stages.back();
  t.notes = 0;
  t.criticalCarbon.reset();
  for (double SimulatedStage::*field :
       {&SimulatedStage::oxygen, &SimulatedStage::inert, &SimulatedStage::minutes, &SimulatedStage::carbonBurnt,
        &SimulatedStage::chromiumBurnt, &SimulatedStage::siliconBurnt}) {
    t.*field = 0;
    for (const SimulatedStage& s : stages) t.*field += s.*field;
  }
  t.efficiency = t.oxygen > 0 ? t.carbonBurnt * oxygenPerCarbonKg * molar::volume / t.oxygen : 1;
  for (const SimulatedStage& s : stages) {
    t.lowestTemperature = std::min(t.lowestTemperature, s.lowestTemperature);
    t.highestTemperature = std::max(t.highestTemperature, s.highestTemperature);
  }
  return t;
}

// The reduction as the ledger books it, after the blow has left `bath`.
SimulatedReduction reductionOf(const SimulationHeat& heat, const Bath& bath, double siliconBurnt) {
  const BathState& y = bath.state;
  const double cr2o3 = y[chromiumToCr2O3Kg] / molar::chromium, cr3o4 = y[chromiumToCr3O4Kg] / molar::chromium;
  const double siliconKmol = cr2o3 * 3.0 / 4.0 + cr3o4 * 2.0 / 3.0;  // 2Cr2O3 + 3Si, Cr3O4 + 2Si
  SimulatedReduction r;
  r.silicon = siliconKmol * molar::silicon;
  r.fesi = r.silicon / (heat.fesiGrade / 100);
  const double silica = (siliconBurnt / molar::silicon + siliconKmol) * molar::silica;  // kg SiO2
  r.lime = std::max(0.0, heat.basicity * silica - bath.limeAdded);
  r.slag = heat.slagMass + silica + bath.limeAdded + r.lime;
  const double capacity = bath::metalHeatCapacity * bath.mass + bath::slagHeatCapacity * y[slagKg];  // kJ/K
  const double heatTaken = bath::kilojoulesPerMegajoule * bath::limeChill * r.lime +
                           heat.heatLoss * heat.reductionMinutes * bath::metalHeatCapacity * bath::kilogramsPerTonne *
                               *heat.massTonnes;  // kJ
  r.tapTemperature = y[temperatureC] - heatTaken / capacity;
  r.tapChromium = 100 * (y[chromiumKg] + y[chromiumToCr2O3Kg] + y[chromiumToCr3O4Kg]) / bath.mass;
  return r;
}

}  // namespace

BlowSimulation simulateBlow(const SimulationHeat& heat, std::span<const SimulationStage> stages,
                            const SimulationTolerance& tolerance) {
  BlowSimulation sim;
  sim.problem = heatProblem(heat);
  if (sim.problem == SimulationProblem::None && stages.empty()) sim.problem = SimulationProblem::NoStages;
  if (sim.problem != SimulationProblem::None) return sim;
  Bath bath;
  bath.mass = bath::kilogramsPerTonne * *heat.massTonnes;
  bath.state[carbonKg] = *heat.startCarbon * bath.mass / 100;
  bath.state[siliconKg] = heat.composition.silicon * bath.mass / 100;
  bath.state[chromiumKg] = heat.composition.chromium * bath.mass / 100;
  bath.state[temperatureC] = *heat.startTemperature;
  bath.state[slagKg] = heat.slagMass;
  for (const double v : bath.state) {
    if (!std::isfinite(v) || !std::isfinite(bath.mass))
      return BlowSimulation{SimulationProblem::HeatOutOfRange, {}, {}, {}, {}};
  }
  bool good = true;
  for (const SimulationStage& stage : stages) {
    SimulatedStage s;
    const PressureItemReading gas = readPressureItem(stage.gas, heat.mixture);
    if (!good) {
      s.problem = SimulationProblem::AfterProblem;
    } else if (!gas.item) {
      s.problem = SimulationProblem::GasBad;
      s.gasProblem = gas.problem;
    } else {
      s.problem = stageProblem(stage);
    }
    if (s.problem == SimulationProblem::None) s = runStage(heat, stage, *gas.item, tolerance, bath, sim.path);
    good = good && s.problem == SimulationProblem::None;
    sim.stages.push_back(s);
  }
  if (!good) return sim;
  sim.totals = totalsOf(sim.stages);
  sim.reduction = reductionOf(heat, bath, sim.totals->siliconBurnt);
  return sim;
}

}  // namespace velkarin
