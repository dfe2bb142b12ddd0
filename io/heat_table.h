// SPDX-License-Identifier: Apache-2.0
#pragma once

// The table of heats that velkarin-batch computes and the diagram imports:
// CSV (io/csv.h), a header line naming the columns (found by name, matched
// case-insensitively, blanks around ignored; other columns are kept but not
// read), then one heat per record. A and B are read as the drop-down texts
// are, the seven answer cells as prompt answers are; an empty cell stands
// for the reaction's first preset row (A, B) or the prompt's default.
// Lines of nothing but blanks are skipped. What does not fit the table is a
// CsvError with its line (and field), turned into a BatchInputError that
// names the column.

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "calc/calculation.h"
#include "calc/melt_state_input.h"
#include "calc/reaction_data.h"
#include "io/csv.h"
#include "io/input_error.h"

namespace velkarin::heat_table {

// The cells read as prompt answers, one per prompt, in prompt order.
struct AnswerColumn {
  std::string_view name;
  MeltField field;
};

inline constexpr std::array<AnswerColumn, promptCount> answerColumns{{
    {"t", MeltField::Temperature},   // °C
    {"C", MeltField::Carbon},        // mass %
    {"Cr", MeltField::Chromium},     // mass %
    {"Ni", MeltField::Nickel},       // mass %
    {"Si", MeltField::Silicon},      // mass %
    {"Mn", MeltField::Manganese},    // mass %
    {"pCO", MeltField::CoPressure},  // Pa
}};

// Positions in inputColumns.
inline constexpr std::size_t reactionColumn = 0;
inline constexpr std::size_t aColumn = 1;
inline constexpr std::size_t bColumn = 2;
inline constexpr std::size_t firstAnswerColumn = 3;

// The columns every table has (A and B may be missing where they are not read).
inline constexpr std::array<std::string_view, 3 + promptCount> inputColumns{
    "reaction",
    "A",
    "B",
    answerColumns[0].name,
    answerColumns[1].name,
    answerColumns[2].name,
    answerColumns[3].name,
    answerColumns[4].name,
    answerColumns[5].name,
    answerColumns[6].name,
};

// The columns velkarin-batch appends after the echoed input columns, in
// order. No column of a table read may have one of these names: the output's
// columns would be ambiguous to whatever reads them by name.
inline constexpr std::array<std::string_view, 16> resultColumnNames{
    "freeEnergyChange",
    "equilibriumTemperature",
    "equilibriumPressureRatio",
    "scanHit",
    "trialCarbon",
    "trialFreeEnergy",
    "trialCount",
    "carbonCoefficient",
    "chromiumCoefficient",
    "equilibriumConstant",
    "pressureFromConstant",
    "carbonFromConstant",
    "resultLine",
    "fault",
    "message",
    "equilibriumCarbon",
};

// The text without the blanks (spaces, tabs) around it.
std::string_view trimBlanks(std::string_view text);
bool isBlank(std::string_view text);
// ASCII letters compared without their case.
bool equalsIgnoringCase(std::string_view x, std::string_view y);
// A line with nothing but blanks in its cells, as editors and spreadsheets
// leave between or after the rows.
bool isBlankRecord(const CsvRecord& record);

struct Header {
  CsvRecord record;
  std::array<std::size_t, inputColumns.size()> position{};  // field index of each input column
};

// The first record that is not blank: the header line. Throws CsvError
// when there is none.
CsvRecord headerRecord(CsvReader& reader);

// The header of the table; for a fit (or the plant's heats), A and B may be
// missing (they are not read). Throws CsvError for a missing or repeated
// column or one named like a result column.
Header readHeader(const CsvRecord& record, bool fit = false);

// A CsvError as the input error it is, its field named by the header.
BatchInputError inputError(const CsvError& error, const std::optional<Header>& header);

// A row's answer cells as the answers to the seven prompts, in prompt order
// (the order of answerColumns); a blank cell is the prompt's pre-filled
// default, confirmed unchanged.
class CellPrompts final : public PromptSource {
 public:
  explicit CellPrompts(std::function<const std::string&(std::size_t)> answer) : answer_(std::move(answer)) {}
  std::optional<std::string> ask(const Prompt& prompt) override;

 private:
  std::function<const std::string&(std::size_t)> answer_;
  std::size_t next_ = 0;
};

struct HeatRow {
  const CsvRecord* record = nullptr;
  Reaction reaction = Reaction::Cr2O3;
};

// The record as a heat of its reaction. Throws CsvError when its field count
// differs from the header's or its reaction cell names no reaction.
HeatRow readRow(const Header& header, const CsvRecord& record);

// A row's cells asked as the window's prompts under the reaction's first
// preset row (A and B are not read): its melt state, or the outcome of a
// cell beyond the number range (the calculation would not start), or of a
// t cell that holds no temperature.
std::variant<CalculationRequest, CalculationOutcome> askRow(const Header& header, const HeatRow& row);

}  // namespace velkarin::heat_table
