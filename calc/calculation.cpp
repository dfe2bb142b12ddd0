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
double finite(double value, FaultSubject what) {
  if (std::isnan(value)) raiseFault(FaultKind::InvalidArgument, FaultDetail::NotValid, what);
  if (std::isinf(value)) raiseFault(FaultKind::Overflow, FaultDetail::OutOfRange, what);
  return value;
}

double naturalLog(double x, FaultSubject quantity) {
  if (!(x > 0)) raiseFault(FaultKind::InvalidArgument, FaultDetail::NotPositive, quantity);
  return std::log(x);
}

// `why` states the division that failed.
double divide(double numerator, double denominator, FaultSubject why) {
  if (denominator == 0) raiseFault(FaultKind::DivisionByZero, FaultDetail::Stated, why);
  return numerator / denominator;
}

double powerOfTen(double exponent, FaultSubject what) { return finite(std::pow(10.0, exponent), what); }

// Converts the text of A or B where a formula first uses it.
double constantValue(const std::string& text, FaultSubject name) {
  const ReadResult read = readConstantText(text);
  if (!read.error) return read.value;
  if (*read.error == ReadError::OutOfRange) raiseFault(FaultKind::Overflow, FaultDetail::ConstantOutOfRange, name);
  if (text.empty()) raiseFault(FaultKind::TypeMismatch, FaultDetail::ConstantEmpty, name);
  raiseFault(FaultKind::TypeMismatch, FaultDetail::ConstantNotANumber, name, text);
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
    finite(carbonActivityLog(s), FaultSubject::CarbonActivityLog);
    finite(chromiumActivityLog(s), FaultSubject::ChromiumActivityLog);
  }

  // Free-energy change: the logarithms first, then B·T, then A.
  const double coPressureRatio = s.coPressure / standardPressure;
  if (s.coPressure > 0 && coPressureRatio == 0) {
    raiseFault(FaultKind::InvalidArgument, FaultDetail::Stated, FaultSubject::PressureUnderflow);
  }
  const double lnPressureRatio = naturalLog(coPressureRatio, FaultSubject::CoPressure);
  const double lnChromium = naturalLog(s.chromium, FaultSubject::Chromium);
  naturalLog(s.carbon, FaultSubject::Carbon);
  const double b = constantValue(constants.b, FaultSubject::B);
  finite(b * t, FaultSubject::BTimesT);
  const double a = constantValue(constants.a, FaultSubject::A);
  const FreeEnergy f({a, b, s, lnPressureRatio, lnChromium});
  finite(f.rt(), FaultSubject::RTimesLn10);
  r.freeEnergyChange = finite(f(s.carbon), FaultSubject::FreeEnergyChange);
  out.reached = ResultField::EquilibriumTemperature;

  // Equilibrium temperature: the T at which ΔG = 0 for this composition and pressure.
  const double temperatureDenominator =
      finite(b + constants::rLn10 * f.logSum(s.carbon), FaultSubject::TemperatureDenominator);
  r.equilibriumTemperature = finite(divide(-a, temperatureDenominator, FaultSubject::TemperatureDivisorZero),
                                    FaultSubject::EquilibriumTemperature);
  out.reached = ResultField::EquilibriumPressureRatio;

  // Equilibrium CO pressure at the given temperature, in units of 101325 Pa.
  const double rt = constants::rLn10 * t;
  const double numerator =
      finite((-a - b * t) - rt * f.logSumWithoutPressure(s.carbon), FaultSubject::PressureExponent);
  const double exponent =
      finite(divide(numerator, rt * 3, FaultSubject::PressureDivisorZero), FaultSubject::PressureExponent);
  r.equilibriumPressureRatio = powerOfTen(exponent, FaultSubject::EquilibriumPressure);
  out.reached = ResultField::EquilibriumPressure;
  finite(r.equilibriumPressureRatio * standardPressure, FaultSubject::EquilibriumPressure);
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
    raiseFault(FaultKind::Overflow, FaultDetail::OutOfRange, FaultSubject::ScanFunction);
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
  const double lgKSlope = roundedAsText(finite((-a / constants::ln10) / constants::gasConstant, FaultSubject::LgKSlope),
                                        DigitPattern::Whole);
  const double lgKIntercept = roundedAsText(
      finite((-b / constants::ln10) / constants::gasConstant, FaultSubject::LgKIntercept), DigitPattern::Decimals3);

  // Activity coefficients at the given composition, then K.
  r.carbonCoefficient = powerOfTen(carbonActivityLog(s), FaultSubject::CarbonCoefficient);
  out.reached = ResultField::ChromiumCoefficient;
  r.chromiumCoefficient = powerOfTen(chromiumActivityLog(s), FaultSubject::ChromiumCoefficient);
  out.reached = ResultField::EquilibriumConstant;
  r.equilibriumConstant =
      powerOfTen(finite(lgKSlope / t + lgKIntercept, FaultSubject::LgK), FaultSubject::EquilibriumConstant);
  out.reached = ResultField::PressureFromConstant;

  // CO pressure with K, Pa.
  const double third = 1.0 / 3.0;
  const double chromiumActivityPower = finite(
      std::pow(r.chromiumCoefficient * s.chromium, FreeEnergy::chromiumExponent), FaultSubject::ChromiumActivityPower);
  const double pressureRatio =
      finite(divide(r.equilibriumConstant, chromiumActivityPower, FaultSubject::ChromiumActivityZero),
             FaultSubject::ConstantOverChromium);
  r.pressureFromConstant =
      finite(((r.carbonCoefficient * s.carbon) * std::pow(pressureRatio, third)) * standardPressure,
             FaultSubject::PressureFromConstant);
  out.reached = ResultField::CarbonFromConstant;

  // Carbon content with K; f_C is the one at the given [%C].
  const double pressureTerm =
      finite(divide(s.coPressure, r.carbonCoefficient, FaultSubject::CarbonCoefficientZero) / standardPressure,
             FaultSubject::CarbonPressureTerm);
  const double carbonRatio = finite(divide(chromiumActivityPower, r.equilibriumConstant, FaultSubject::ConstantZero),
                                    FaultSubject::ChromiumOverConstant);
  r.carbonFromConstant = finite(pressureTerm * std::pow(carbonRatio, third), FaultSubject::CarbonFromConstant);
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
