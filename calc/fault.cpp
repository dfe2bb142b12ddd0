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

std::string_view faultKindName(FaultKind kind) {
  switch (kind) {
    case FaultKind::InvalidArgument:
      return "无效的参数";
    case FaultKind::TypeMismatch:
      return "类型不匹配";
    case FaultKind::DivisionByZero:
      return "除数为零";
    case FaultKind::Overflow:
      return "溢出";
  }
  return "无效的参数";
}

FaultError::FaultError(Fault fault) : std::runtime_error(fault.message), fault_(std::move(fault)) {}

void raiseFault(FaultKind kind, std::string_view detail) {
  std::string message(faultKindName(kind));
  message += "：";
  message += detail;
  throw FaultError(Fault{kind, std::move(message)});
}

}  // namespace velkarin
