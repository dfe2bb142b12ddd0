// SPDX-License-Identifier: Apache-2.0
#pragma once

// A fault ends a calculation at the step that meets it. It travels as a kind
// (what went wrong) and a message for the user: the kind's name, a full-width
// colon, and a Chinese detail naming the input or quantity involved
// ("溢出：C浓度的输入值超出了数值范围").

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

struct Fault {
  FaultKind kind;
  std::string message;
};

// Stable identifier of a kind, as the batch tool prints it ("invalid-argument", …).
std::string_view faultKindId(FaultKind kind);

// The kind's name as the user sees it ("无效的参数", …).
std::string_view faultKindName(FaultKind kind);

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

// Builds the fault "<kind name>：<detail>" and throws it.
[[noreturn]] void raiseFault(FaultKind kind, std::string_view detail);

}  // namespace velkarin
