// SPDX-License-Identifier: Apache-2.0
#pragma once

// A fault ends a calculation at the step that meets it. It travels as codes:
// a kind (what went wrong), the form of its detail and the input or quantity
// it names, with the text as typed where the detail quotes it. The front
// ends word it (words/chinese.h: the kind's name, a full-width colon, the
// detail).

#include <stdexcept>
#include <string>
#include <string_view>

namespace velkarin {

enum class FaultKind {
  InvalidArgument,  // logarithm of a non-positive number, root of a negative one, a NaN
  TypeMismatch,     // A or B text that is not a number
  DivisionByZero,
  Overflow,  // a result beyond the double range
};

// The form of a fault's detail.
enum class FaultDetail {
  NotValid,               // the subject is NaN
  OutOfRange,             // the subject is beyond the double range
  NotPositive,            // the subject must be above 0 (a logarithm's argument)
  ConstantOutOfRange,     // A or B: its text is beyond the double range
  ConstantEmpty,          // A or B: its text is empty
  ConstantNotANumber,     // A or B: its text is no number
  AnswerOutOfRange,       // a prompt's answer: its number is beyond the double range
  TemperatureNotANumber,  // a table's t cell holds no temperature
  Stated,                 // the subject is a statement of its own
};

// What a fault's detail names.
enum class FaultSubject {
  // the melt state, as the prompts and the formulas name it
  Temperature,
  Carbon,
  Chromium,
  Nickel,
  Silicon,
  Manganese,
  CoPressure,
  // the reaction constants
  A,
  B,
  // the computed quantities, in the order the calculation meets them
  CarbonActivityLog,
  ChromiumActivityLog,
  BTimesT,
  RTimesLn10,
  FreeEnergyChange,
  TemperatureDenominator,
  EquilibriumTemperature,
  PressureExponent,
  EquilibriumPressure,
  ScanFunction,
  LgKSlope,
  LgKIntercept,
  CarbonCoefficient,
  ChromiumCoefficient,
  LgK,
  EquilibriumConstant,
  ChromiumActivityPower,
  ConstantOverChromium,
  PressureFromConstant,
  CarbonPressureTerm,
  ChromiumOverConstant,
  CarbonFromConstant,
  // statements of their own (FaultDetail::Stated)
  PressureUnderflow,       // p_CO / 101325 Pa underflows to 0
  TemperatureDivisorZero,  // B + 19.147142·lg Q = 0
  PressureDivisorZero,     // T = 0 K in the equilibrium pressure
  ChromiumActivityZero,    // the chromium activity underflows to 0
  CarbonCoefficientZero,   // f_C underflows to 0
  ConstantZero,            // K underflows to 0
  DisplayNotFinite,        // a number to be shown is not finite
};

struct Fault {
  FaultKind kind = FaultKind::InvalidArgument;
  FaultDetail detail = FaultDetail::Stated;
  FaultSubject subject = FaultSubject::Temperature;
  std::string text;  // the input as typed, where the detail quotes it
};

// Stable identifier of a kind, as the batch tool prints it ("invalid-argument", …).
std::string_view faultKindId(FaultKind kind);

// Thrown to abandon a calculation. The core's value-returning entry points
// (computeEquilibrium, readMeltState) catch it and return the Fault; only
// applyAnswer lets it through to its caller.
class FaultError : public std::runtime_error {
 public:
  explicit FaultError(Fault fault);
  const Fault& fault() const noexcept { return fault_; }

 private:
  Fault fault_;
};

// Builds the fault and throws it.
[[noreturn]] void raiseFault(FaultKind kind, FaultDetail detail, FaultSubject subject, std::string text = {});

}  // namespace velkarin
