// SPDX-License-Identifier: Apache-2.0
#include "tests/batch_support/batch_output.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "io/csv.h"

namespace velkarin::test {

const std::string& OutputTable::cell(std::size_t row, std::string_view column) const {
  const auto at = std::ranges::find(names, column);
  if (at == names.end()) throw std::out_of_range("no column " + std::string(column));
  return rows.at(row).at(static_cast<std::size_t>(at - names.begin()));
}

OutputTable readOutput(const BatchRun& run) {
  OutputTable table;
  for (const CsvRecord& record : parseCsv(run.output)) {
    if (table.names.empty()) {
      table.names = record.fields;
    } else {
      EXPECT_EQ(record.fields.size(), table.names.size()) << "line " << record.line;
      table.rows.push_back(record.fields);
    }
  }
  return table;
}

}  // namespace velkarin::test
