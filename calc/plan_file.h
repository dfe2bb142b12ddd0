// SPDX-License-Identifier: Apache-2.0
#pragma once

// A plan file read from the disk, the one way every program reads one: the
// bytes through readRegularFile (a regular file, at most maxPlanFileBytes),
// the text through readPlanText.

#include <optional>
#include <string>

#include "calc/file_read.h"
#include "calc/plan.h"

namespace velkarin {

struct PlanFileRead {
  std::optional<Plan> plan;            // the plan, when it could be read
  FileRead file;                       // the disk's answer; its bytes are not kept
  std::optional<PlanFileError> error;  // the text is no plan this version reads
};

PlanFileRead readPlanFile(const std::string& path);

// Why the plan could not be read, in English ("not a regular file",
// "line 3, column 7: …"); empty when it was.
std::string planFileReadEnglish(const PlanFileRead& read);

}  // namespace velkarin
