// SPDX-License-Identifier: Apache-2.0
#include "calc/calculation.h"

#include <cmath>
#include <string>
#include <type_traits>

#include "calc/carbon_scan.h"
#include "calc/equilibrium_curve.h"
#include "calc/free_energy.h"
#include "calc/number_text.h"
#include "calc/reaction_data.h"

namespace velkarin {
namespace {

using constants::standardPressure;

// A computed quantity must be a finite number: an infinity is an overflow, a
// NaN an invalid argument. `what` names the quantity for the user.
double finite(double value, std::string_view what) {
  if (std::isnan(value)) raiseFault(FaultKind::InvalidArgument, std::string(what) + "不是有效的数值");
  if (std::isinf(value)) raiseFault(FaultKind::Overflow, std::string(what) + "超出了数值范围");
  return value;
}

double naturalLog(double x, std::string_view quantity) {
  if (!(x > 0)) raiseFault(FaultKind::InvalidArgument, std::string(quantity) + "必须大于0");
  return std::log(x);
}

double divide(double numerator, double denominator, std::string_view what) {
  if (denominator == 0) raiseFault(FaultKind::DivisionByZero, what);
  return numerator / denominator;
}

double powerOfTen(double exponent, std::string_view what) { return finite(std::pow(10.0, exponent), what); }

// Converts the text of A or B where a formula first uses it.
double constantValue(const std::string& text, std::string_view name) {
  const ReadResult read = readConstantText(text);
  if (!read.error) return read.value;
  if (*read.error == ReadError::OutOfRange) raiseFault(FaultKind::Overflow, std::string(name) + "值超出了数值范围");
  if (text.empty()) raiseFault(FaultKind::TypeMismatch, std::string(name) + "值为空，不是数值");
  raiseFault(FaultKind::TypeMismatch, std::string(name) + "值“" + text + "”不是数值");
}

// A coefficient of the lg K line is held as its formatted text and read back,
// so K is built from the rounded value.
double roundedAsText(double value, DigitPattern pattern) {
  return readConstantText(formatPattern(value, pattern)).value;
}

// The free-energy function of a state and the constants it was built from.
template <class FreeEnergy>
struct StateFreeEnergy {
  FreeEnergy f;
  double a;  // J/mol
  double b;  // J/(mol·K)
};

// ΔG at the entered state, then the equilibrium temperature and CO pressure;
// returns the free-energy function the scan goes on with.
template <class FreeEnergy>
StateFreeEnergy<FreeEnergy> computeFirstResults(const ReactionConstants& constants, const MeltState& s,
                                                CalculationOutcome& out) {
  EquilibriumResult& r = out.result;
  const double t = s.temperature;  // K

  // The Cr3O4 formulas form lg f_C and lg f_Cr first, as quantities of their own.
  if constexpr (std::is_same_v<FreeEnergy, Cr3O4FreeEnergy>) {
    finite(carbonActivityLog(s), "C的活度系数的对数lgfC");
    finite(chromiumActivityLog(s), "Cr的活度系数的对数lgfCr");
  }

  // Free-energy change: the logarithms first, then B·T, then A.
  const double coPressureRatio = s.coPressure / standardPressure;
  if (s.coPressure > 0 && coPressureRatio == 0) {
    raiseFault(FaultKind::InvalidArgument, "CO分压太小（除以101325后下溢为0），无法计算");
  }
  const double lnPressureRatio = naturalLog(coPressureRatio, "CO分压");
  const double lnChromium = naturalLog(s.chromium, "Cr浓度");
  naturalLog(s.carbon, "C浓度");
  const double b = constantValue(constants.b, "B");
  finite(b * t, "B·T");
  const double a = constantValue(constants.a, "A");
  const FreeEnergy f({a, b, s, lnPressureRatio, lnChromium});
  finite(f.rt(), "19.147142·T");
  r.freeEnergyChange = finite(f(s.carbon), "反应自由能变值");
  out.reached = ResultField::EquilibriumTemperature;

  // Equilibrium temperature: the T at which ΔG = 0 for this composition and pressure.
  const double temperatureDenominator = finite(b + constants::rLn10 * f.logSum(s.carbon), "平衡温度的分母");
  r.equilibriumTemperature =
      finite(divide(-a, temperatureDenominator, "计算平衡熔池温度时除数为零（B + 19.147142·lgQ = 0）"), "平衡熔池温度");
  out.reached = ResultField::EquilibriumPressureRatio;

  // Equilibrium CO pressure at the given temperature, in units of 101325 Pa.
  const double rt = constants::rLn10 * t;
  const double numerator = finite((-a - b * t) - rt * f.logSumWithoutPressure(s.carbon), "平衡CO分压的指数");
  const double exponent =
      finite(divide(numerator, rt * 3, "熔池温度为-273℃（0 K），计算平衡CO分压时除数为零"), "平衡CO分压的指数");
  r.equilibriumPressureRatio = powerOfTen(exponent, "平衡CO分压");
  out.reached = ResultField::EquilibriumPressure;
  finite(r.equilibriumPressureRatio * standardPressure, "平衡CO分压");
  out.reached = ResultField::Scan;
  return {f, a, b};
}

// The carbon scan, and the continuous root of the same ΔG(c): the
// equilibrium carbon also where the 0.000001 %C steps jump over the window.
template <class FreeEnergy>
void computeScan(const FreeEnergy& f, CalculationOutcome& out) {
  EquilibriumResult& r = out.result;
  ScanResult scanned;
  try {
    scanned = scanCarbon(f);
  } catch (const ScanOverflow&) {
    raiseFault(FaultKind::Overflow, "C浓度试算方程y值超出了数值范围");
  }
  r.scanHit = scanned.hit;
  r.trialCarbon = scanned.trialCarbon;
  r.trialFreeEnergy = scanned.trialFreeEnergy;
  r.trialCount = scanned.trialCount;
  const EquilibriumCarbon root = signChangeCarbon(f);  // cannot fault
  r.equilibriumCarbon = root.carbon;
  r.equilibriumCarbonGap = root.gap;
  if (root.carbon) r.equilibriumCarbonFreeEnergy = f(*root.carbon);
  out.reached = ResultField::CarbonCoefficient;
}

// The CO pressure and the carbon content through the equilibrium constant K
// and the activity coefficients; a and b as read for ΔG.
template <class FreeEnergy>
void computeFromConstant(double a, double b, const MeltState& s, CalculationOutcome& out) {
  EquilibriumResult& r = out.result;
  const double t = s.temperature;  // K

  // lg K = a′/T + b′ with a′ rounded to a whole number and b′ to three decimals.
  const double lgKSlope =
      roundedAsText(finite((-a / constants::ln10) / constants::gasConstant, "lgK的系数"), DigitPattern::Whole);
  const double lgKIntercept =
      roundedAsText(finite((-b / constants::ln10) / constants::gasConstant, "lgK的常数项"), DigitPattern::Decimals3);

  // Activity coefficients at the given composition, then K.
  r.carbonCoefficient = powerOfTen(carbonActivityLog(s), "C的活度系数fc");
  out.reached = ResultField::ChromiumCoefficient;
  r.chromiumCoefficient = powerOfTen(chromiumActivityLog(s), "Cr的活度系数fcr");
  out.reached = ResultField::EquilibriumConstant;
  r.equilibriumConstant = powerOfTen(finite(lgKSlope / t + lgKIntercept, "lgK"), "平衡常数K");
  out.reached = ResultField::PressureFromConstant;

  // CO pressure with K, Pa.
  const double third = 1.0 / 3.0;
  const double chromiumActivityPower =
      finite(std::pow(r.chromiumCoefficient * s.chromium, FreeEnergy::chromiumExponent), "Cr活度的幂");
  const double pressureRatio =
      finite(divide(r.equilibriumConstant, chromiumActivityPower, "Cr的活度为0（下溢），计算CO分压时除数为零"),
             "K与Cr活度之比");
  r.pressureFromConstant =
      finite(((r.carbonCoefficient * s.carbon) * std::pow(pressureRatio, third)) * standardPressure,
             "用平衡常数计算出来的CO分压值");
  out.reached = ResultField::CarbonFromConstant;

  // Carbon content with K; f_C is the one at the given [%C].
  const double pressureTerm = finite(
      divide(s.coPressure, r.carbonCoefficient, "C的活度系数fc为0（下溢），计算平衡C浓度时除数为零") / standardPressure,
      "平衡C浓度的分压项");
  const double carbonRatio =
      finite(divide(chromiumActivityPower, r.equilibriumConstant, "平衡常数K为0（下溢），计算平衡C浓度时除数为零"),
             "Cr活度与K之比");
  r.carbonFromConstant = finite(pressureTerm * std::pow(carbonRatio, third), "由平衡常数计算出来的平衡C浓度值");
  out.reached = ResultField::All;
}

template <class FreeEnergy>
void compute(const ReactionConstants& constants, const MeltState& s, CalculationOutcome& out) {
  const StateFreeEnergy<FreeEnergy> state = computeFirstResults<FreeEnergy>(constants, s, out);
  computeScan(state.f, out);
  computeFromConstant<FreeEnergy>(state.a, state.b, s, out);
}

}  // namespace

CalculationOutcome computeEquilibrium(Reaction reaction, const ReactionConstants& constants, const MeltState& state) {
  CalculationOutcome out;
  out.state = state;
  try {
    dispatchFreeEnergy(reaction, [&](auto type) { compute<typename decltype(type)::type>(constants, state, out); });
    out.status = CalculationOutcome::Status::Completed;
  } catch (const FaultError& error) {
    out.status = CalculationOutcome::Status::Faulted;
    out.fault = error.fault();
  }
  return out;
}

std::variant<CalculationRequest, CalculationOutcome> askCalculation(Reaction reaction,
                                                                    const ReactionConstants& constants,
                                                                    PromptSource& prompts) {
  auto input = readMeltState(reaction, prompts);
  if (auto* state = std::get_if<MeltState>(&input)) return CalculationRequest{reaction, constants, *state};
  CalculationOutcome out;
  if (auto* fault = std::get_if<Fault>(&input)) {
    out.status = CalculationOutcome::Status::Faulted;
    out.fault = *fault;
  } else {
    out.status = CalculationOutcome::Status::Cancelled;
  }
  return out;
}

CalculationOutcome runCalculation(Reaction reaction, const ReactionConstants& constants, PromptSource& prompts,
                                  ResultSink& sink, const ResultNotes& notes) {
  auto asked = askCalculation(reaction, constants, prompts);
  if (auto* ended = std::get_if<CalculationOutcome>(&asked)) return *ended;
  const CalculationRequest& request = std::get<CalculationRequest>(asked);
  const CalculationOutcome out = computeEquilibrium(request.reaction, request.constants, request.state);
  presentOutcome(sink, out, notes);
  return out;
}

}  // namespace velkarin
