// SPDX-License-Identifier: Apache-2.0
// Fuzzes the batch tool (and with it the CSV reader) with arbitrary bytes.
//
// Properties beyond "no crash": the output always parses back as CSV; it is
// a rectangle (every row has the header's number of fields); a run without
// an input error has one row per record of the input after its header that
// is not blank; a run with one stops with whole rows and names a line of the
// input. Rows are computed with the calculation as it is, so an input that
// reaches a slow calculation would show as a timeout.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "cli/batch_tool.h"
#include "fuzz/fuzz_check.h"
#include "io/csv.h"

using velkarin::fuzz::check;

namespace {

bool blank(const velkarin::CsvRecord& record) {
  return std::ranges::all_of(record.fields, [](const std::string& f) { return f.find_first_not_of(" \t") == f.npos; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const velkarin::BatchRun run = velkarin::runBatch(input);

  check((run.exitStatus == velkarin::batchInputUnusable) == run.error.has_value(), "status and error disagree");
  if (run.error) {
    check(run.error->line >= 1, "an input error names no line");
    check(!run.error->message.empty(), "an input error has no message");
  }
  if (run.output.empty()) {
    check(run.error.has_value(), "nothing was written without an input error");
    return 0;
  }

  std::vector<velkarin::CsvRecord> written;
  try {
    written = velkarin::parseCsv(run.output);
  } catch (const velkarin::CsvError&) {
    check(false, "the output does not parse back as CSV");
  }
  check(!written.empty(), "the output has no header row");
  for (const velkarin::CsvRecord& row : written) {
    check(row.fields.size() == written.front().fields.size(), "the output is not a rectangle");
  }
  if (run.error) return 0;

  // The input parses (no error was reported): its records after the header,
  // blank ones skipped, are the output's rows.
  const std::vector<velkarin::CsvRecord> records = velkarin::parseCsv(input);
  const auto header = std::ranges::find_if_not(records, blank);
  check(header != records.end(), "output without a header line in the input");
  const auto rows = std::count_if(header + 1, records.end(), [](const velkarin::CsvRecord& r) { return !blank(r); });
  check(static_cast<std::size_t>(rows) + 1 == written.size(), "the output has not one row per input row");
  return 0;
}
