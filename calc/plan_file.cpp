// SPDX-License-Identifier: Apache-2.0
#include "calc/plan_file.h"

#include <utility>
#include <variant>

namespace velkarin {

PlanFileRead readPlanFile(const std::string& path) {
  PlanFileRead read;
  read.file = readRegularFile(path, maxPlanFileBytes);
  if (read.file.fault != FileReadFault::None) return read;
  std::variant<Plan, PlanFileError> text = readPlanText(read.file.bytes);
  read.file.bytes.clear();
  if (auto* error = std::get_if<PlanFileError>(&text)) {
    read.error = std::move(*error);
  } else {
    read.plan = std::move(std::get<Plan>(text));
  }
  return read;
}

std::string planFileReadEnglish(const PlanFileRead& read) {
  if (read.file.fault != FileReadFault::None) return fileReadFaultEnglish(read.file, maxPlanFileBytes);
  return read.error ? planFileErrorEnglish(*read.error) : std::string();
}

}  // namespace velkarin
