// SPDX-License-Identifier: Apache-2.0
#pragma once

// The whole outcome of one calculation as a plain value: how far it got, what
// it computed up to there and the fault that stopped it. The calculation
// returns it; the presenter (calc/result_presentation.h) turns it into the
// window's texts, the batch tool into a CSV row.

#include <optional>

#include "calc/fault.h"
#include "calc/records.h"

namespace velkarin {

struct CalculationOutcome {
  enum class Status { Completed, Cancelled, Faulted };
  Status status = Status::Completed;
  MeltState state;           // the answers (meaningful once all seven were read)
  EquilibriumResult result;  // fields before `reached` are computed
  ResultField reached = ResultField::FreeEnergyChange;
  std::optional<Fault> fault;  // set when Faulted

  // Whether the calculation computed `field` (and everything before it).
  bool computed(ResultField field) const { return field < reached; }
};

}  // namespace velkarin
