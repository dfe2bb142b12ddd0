// SPDX-License-Identifier: Apache-2.0
#pragma once

// The batch tool's output read back as a table, for the batch tool's tests.

#include <string>
#include <string_view>
#include <vector>

#include "cli/batch_tool.h"

namespace velkarin::test {

// The header line of an input with the ten input columns.
inline const std::string header = "reaction,A,B,t,C,Cr,Ni,Si,Mn,pCO\n";

// The output of a run, read back as CSV.
struct OutputTable {
  std::vector<std::string> names;
  std::vector<std::vector<std::string>> rows;

  // Fails (throws) where the column is missing.
  const std::string& cell(std::size_t row, std::string_view column) const;
};

// Expects every row as wide as the header line.
OutputTable readOutput(const BatchRun& run);

}  // namespace velkarin::test
