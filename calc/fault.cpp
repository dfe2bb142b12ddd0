// SPDX-License-Identifier: Apache-2.0
#include "calc/fault.h"

namespace velkarin {

std::string_view faultKindId(FaultKind kind) {
  switch (kind) {
    case FaultKind::InvalidArgument:
      return "invalid-argument";
    case FaultKind::TypeMismatch:
      return "type-mismatch";
    case FaultKind::DivisionByZero:
      return "division-by-zero";
    case FaultKind::Overflow:
      return "overflow";
  }
  return "invalid-argument";
}

FaultError::FaultError(Fault fault)
    : std::runtime_error(std::string(faultKindId(fault.kind))), fault_(std::move(fault)) {}

void raiseFault(FaultKind kind, FaultDetail detail, FaultSubject subject, std::string text) {
  throw FaultError(Fault{kind, detail, subject, std::move(text)});
}

}  // namespace velkarin
