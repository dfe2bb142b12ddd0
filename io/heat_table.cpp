// SPDX-License-Identifier: Apache-2.0
#include "io/heat_table.h"

#include <algorithm>

#include "calc/fault.h"
#include "calc/number_list.h"
#include "calc/number_text.h"

namespace velkarin::heat_table {

std::string_view trimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool isBlank(std::string_view text) { return trimBlanks(text).empty(); }

bool equalsIgnoringCase(std::string_view x, std::string_view y) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return std::ranges::equal(x, y, [&](char p, char q) { return lower(p) == lower(q); });
}

bool isBlankRecord(const CsvRecord& record) { return std::ranges::all_of(record.fields, isBlank); }

Header readHeader(const CsvRecord& record, bool fit) {
  Header header{record, {}};
  std::string missing;
  for (std::size_t column = 0; column < inputColumns.size(); ++column) {
    std::optional<std::size_t> found;
    for (std::size_t i = 0; i < record.fields.size(); ++i) {
      if (!equalsIgnoringCase(trimBlanks(record.fields[i]), inputColumns[column])) continue;
      if (found) {
        throw CsvError(record.line, "column \"" + std::string(inputColumns[column]) + "\" appears twice (fields " +
                                        std::to_string(*found + 1) + " and " + std::to_string(i + 1) + ")");
      }
      found = i;
    }
    if (!found && fit && (column == aColumn || column == bColumn)) continue;
    if (!found) {
      missing += missing.empty() ? "" : ", ";
      missing += inputColumns[column];
    }
    header.position[column] = found.value_or(0);
  }
  if (!missing.empty()) {
    throw CsvError(record.line, "the header line lacks the column(s) " + missing +
                                    (fit ? " (needed: reaction, t, C, Cr, Ni, Si, Mn, pCO)"
                                         : " (needed: reaction, A, B, t, C, Cr, Ni, Si, Mn, pCO)"));
  }
  for (std::size_t i = 0; i < record.fields.size(); ++i) {
    for (std::string_view result : resultColumnNames) {
      if (equalsIgnoringCase(trimBlanks(record.fields[i]), result)) {
        throw CsvError(record.line,
                       "column \"" + std::string(trimBlanks(record.fields[i])) +
                           "\" has the name of an output column (rename it: the results are appended as " +
                           std::string(result) + ")",
                       i);
      }
    }
  }
  return header;
}

std::optional<std::string> CellPrompts::ask(const Prompt& prompt) {
  const std::string& answer = answer_(next_++);
  return isBlank(answer) ? prompt.defaultAnswer : answer;
}

HeatRow readRow(const Header& header, const CsvRecord& record) {
  if (record.fields.size() != header.record.fields.size()) {
    throw CsvError(record.line, std::to_string(record.fields.size()) + " fields, but the header line has " +
                                    std::to_string(header.record.fields.size()));
  }
  const std::size_t field = header.position[reactionColumn];
  const std::string& text = record.fields[field];
  for (Reaction reaction : {Reaction::Cr2O3, Reaction::Cr3O4}) {
    if (equalsIgnoringCase(trimBlanks(text), reactionData(reaction).name)) return {&record, reaction};
  }
  if (isBlank(text)) throw CsvError(record.line, "the reaction cell is empty (expected Cr2O3 or Cr3O4)", field);
  throw CsvError(record.line, "unknown reaction \"" + text + "\" (expected Cr2O3 or Cr3O4)", field);
}

BatchInputError inputError(const CsvError& error, const std::optional<Header>& header) {
  std::optional<std::string> column;
  if (error.field()) {
    const std::size_t field = *error.field();
    const std::string_view name =
        header && field < header->record.fields.size() ? trimBlanks(header->record.fields[field]) : "";
    column = name.empty() ? "field " + std::to_string(field + 1) : std::string(name);
  }
  return BatchInputError{error.line(), std::move(column), error.what()};
}

CsvRecord headerRecord(CsvReader& reader) {
  std::optional<CsvRecord> record = reader.next();
  LineNumber lastLine = 1;
  for (; record && isBlankRecord(*record); record = reader.next()) lastLine = record->line;
  if (!record) {
    throw CsvError(lastLine,
                   "no header line (the first line names the columns reaction, A, B, t, C, Cr, Ni, Si, Mn, pCO)");
  }
  return std::move(*record);
}

namespace {

// Whether a heat's t cell gives its temperature: empty (the prompt's
// default), or a leading number that is not the 0 of a C hexadecimal
// ("0x700"). "nan", "inf" and other cells without a number would read as
// 0 °C by the prompts' rule — a heat at 273 K that was never measured.
bool temperatureReads(std::string_view cell) {
  const std::string_view text = trimBlanks(cell);
  if (text.empty()) return true;
  bool outOfRange = false;
  if (!readCellNumber(text, outOfRange)) return outOfRange;  // beyond the range: the prompts' own fault
  const std::size_t x = text.find_first_not_of("+-0");
  return !(x != std::string_view::npos && x > 0 && text[x - 1] == '0' && (text[x] == 'x' || text[x] == 'X'));
}

}  // namespace

std::variant<CalculationRequest, CalculationOutcome> askRow(const Header& header, const HeatRow& row) {
  const PresetRow& firstPreset = reactionData(row.reaction).presets.front();
  const std::string& temperature = row.record->fields[header.position[firstAnswerColumn]];
  if (!temperatureReads(temperature)) {
    CalculationOutcome outcome;
    outcome.status = CalculationOutcome::Status::Faulted;
    outcome.fault = Fault{FaultKind::TypeMismatch, FaultDetail::TemperatureNotANumber, FaultSubject::Temperature,
                          std::string(temperature)};
    return outcome;
  }
  CellPrompts prompts(
      [&](std::size_t i) -> const std::string& { return row.record->fields[header.position[firstAnswerColumn + i]]; });
  return askCalculation(row.reaction, {std::string(firstPreset.a), std::string(firstPreset.b)}, prompts);
}

}  // namespace velkarin::heat_table
