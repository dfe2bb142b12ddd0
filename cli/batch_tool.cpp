// SPDX-License-Identifier: Apache-2.0
#include "cli/batch_tool.h"

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "calc/calculation.h"
#include "calc/fault.h"
#include "calc/number_text.h"
#include "calc/reaction_data.h"
#include "calc/result_presentation.h"
#include "io/csv.h"
#include "io/heat_table.h"
#include "words/chinese.h"

namespace velkarin {

using namespace heat_table;

namespace {

// A computed column: the field of the result it shows (known once the
// calculation got past it) and its text.
struct ResultColumn {
  std::string_view name;
  ResultField field;
  std::string (*text)(const EquilibriumResult&);
};

constexpr std::array<ResultColumn, 12> resultColumns{{
    {"freeEnergyChange", ResultField::FreeEnergyChange,  // J/mol
     [](const EquilibriumResult& r) { return formatShortest(r.freeEnergyChange); }},
    {"equilibriumTemperature", ResultField::EquilibriumTemperature,  // K
     [](const EquilibriumResult& r) { return formatShortest(r.equilibriumTemperature); }},
    {"equilibriumPressureRatio", ResultField::EquilibriumPressureRatio,  // p_eq / 101325 Pa
     [](const EquilibriumResult& r) { return formatShortest(r.equilibriumPressureRatio); }},
    {"scanHit", ResultField::Scan,  // 1 or 0
     [](const EquilibriumResult& r) { return std::string(r.scanHit ? "1" : "0"); }},
    {"trialCarbon", ResultField::Scan,  // mass %
     [](const EquilibriumResult& r) { return formatShortest(r.trialCarbon); }},
    {"trialFreeEnergy", ResultField::Scan,  // J/mol
     [](const EquilibriumResult& r) { return formatShortest(r.trialFreeEnergy); }},
    {"trialCount", ResultField::Scan,  // missed trials; empty when the first trial hit
     [](const EquilibriumResult& r) { return trialCountText(r.trialCount); }},
    {"carbonCoefficient", ResultField::CarbonCoefficient,
     [](const EquilibriumResult& r) { return formatShortest(r.carbonCoefficient); }},
    {"chromiumCoefficient", ResultField::ChromiumCoefficient,
     [](const EquilibriumResult& r) { return formatShortest(r.chromiumCoefficient); }},
    {"equilibriumConstant", ResultField::EquilibriumConstant,
     [](const EquilibriumResult& r) { return formatShortest(r.equilibriumConstant); }},
    {"pressureFromConstant", ResultField::PressureFromConstant,  // Pa
     [](const EquilibriumResult& r) { return formatShortest(r.pressureFromConstant); }},
    {"carbonFromConstant", ResultField::CarbonFromConstant,  // mass %
     [](const EquilibriumResult& r) { return formatShortest(r.carbonFromConstant); }},
}};

// The computed columns are the first of the result columns the table
// reserves, in the same order, so that each name stands beside its text.
constexpr bool namedAsTheTable() {
  for (std::size_t i = 0; i < resultColumns.size(); ++i) {
    if (resultColumns[i].name != resultColumnNames[i]) return false;
  }
  return resultColumnNames.size() == resultColumns.size() + 4;
}
static_assert(namedAsTheTable());

// The input cells as given, then the result columns. Sets faulted when the
// row's calculation ended in a fault.
std::vector<std::string> computeRow(const Header& header, const HeatRow& row, bool& faulted) {
  const auto cell = [&](std::size_t column) -> const std::string& {
    return row.record->fields[header.position[column]];
  };
  const PresetRow& firstPreset = reactionData(row.reaction).presets.front();
  const ReactionConstants constants{
      isBlank(cell(aColumn)) ? std::string(firstPreset.a) : cell(aColumn),
      isBlank(cell(bColumn)) ? std::string(firstPreset.b) : cell(bColumn),
  };

  // The prompts of the window, answered by the row's cells.
  CellPrompts prompts([&](std::size_t i) -> const std::string& { return cell(firstAnswerColumn + i); });
  auto asked = askCalculation(row.reaction, constants, prompts);
  CalculationOutcome outcome;
  if (const auto* request = std::get_if<CalculationRequest>(&asked)) {
    outcome = computeEquilibrium(request->reaction, request->constants, request->state);
  } else {
    // An answer beyond the double range: nothing was computed.
    outcome = std::get<CalculationOutcome>(asked);
    outcome.reached = ResultField::FreeEnergyChange;
  }

  std::vector<std::string> fields = row.record->fields;
  for (const ResultColumn& column : resultColumns) {
    fields.push_back(column.field < outcome.reached ? column.text(outcome.result) : std::string());
  }
  // What a completed calculation hands to the window's list and notice.
  const bool completed = outcome.status == CalculationOutcome::Status::Completed;
  fields.push_back(completed ? resultLine(outcome.state, outcome.result) : std::string());
  if (outcome.fault) {
    faulted = true;
    fields.emplace_back(faultKindId(outcome.fault->kind));
    fields.push_back(chinese(*outcome.fault));
  } else {
    fields.emplace_back();
    fields.push_back(completed ? noRootNotice(outcome.result) : std::string());
  }
  // The continuous root, wherever the calculation got past the scan.
  const std::optional<double>& root = outcome.result.equilibriumCarbon;
  fields.push_back(outcome.computed(ResultField::Scan) && root ? formatShortest(*root) : std::string());
  return fields;
}

}  // namespace

std::span<const std::string_view> batchInputColumns() { return inputColumns; }

std::span<const std::string_view> batchResultColumns() { return resultColumnNames; }

FitRun runFit(ByteSource& input) {
  CsvReader reader(input);
  std::optional<Header> header;
  std::array<std::optional<LineFit>, 2> fits;  // by reaction
  FitRun run;
  try {
    header = readHeader(headerRecord(reader), true);
    while (std::optional<CsvRecord> record = reader.next()) {
      if (isBlankRecord(*record)) continue;
      const HeatRow row = readRow(*header, *record);
      std::optional<LineFit>& fit = fits[reactionIndex(row.reaction)];
      if (!fit) fit.emplace(row.reaction);
      if (const auto asked = askRow(*header, row); const auto* request = std::get_if<CalculationRequest>(&asked)) {
        fit->add(request->state);
      } else {
        fit->exclude();
      }
    }
  } catch (const CsvError& error) {
    run.error = inputError(error, header);
  }
  for (const std::optional<LineFit>& fit : fits) {
    if (fit) run.fits.push_back(*fit);
  }
  return run;
}

FitRun runFit(std::string_view csvText) {
  StringSource source(csvText);
  return runFit(source);
}

std::string fitTable(const std::vector<LineFit>& fits) {
  std::string text = "reaction\tn\tA\tB\tseA\tseB\tsdG\tr2\texcluded\n";
  for (const LineFit& fit : fits) {
    const LineFitResult r = fit.result();
    text += std::string(reactionData(fit.reaction()).name) + "\t" + std::to_string(r.n);
    for (const double value : {r.a, r.b, r.seA, r.seB, r.sdG, r.r2}) {
      text += "\t";
      if (r.problem == LineFitProblem::None) text += formatShortest(value);
    }
    text += "\t" + std::to_string(r.excluded) + "\n";
  }
  return text;
}

std::string fitProblemEnglish(const LineFitResult& r) {
  const std::string counts = "(" + std::to_string(r.n) + " usable, " + std::to_string(r.excluded) + " excluded)";
  switch (r.problem) {
    case LineFitProblem::None:
      return {};
    case LineFitProblem::TooFewHeats:
      return "fewer than 3 usable heats " + counts + ": no line";
    case LineFitProblem::OneTemperature:
      return "every usable heat is at the same temperature " + counts + ": no slope";
    case LineFitProblem::OutOfRange:
      return "the sums of the fit are beyond the number range (a temperature or dG too large) " + counts + ": no line";
  }
  return {};
}

BatchResult runBatch(ByteSource& input, BatchOutput& output, const BatchOptions& options) {
  CsvReader reader(input);
  std::optional<Header> header;
  try {
    header = readHeader(headerRecord(reader));
    std::vector<std::string> names = header->record.fields;
    names.insert(names.end(), resultColumnNames.begin(), resultColumnNames.end());
    output.write((options.byteOrderMark ? "\xEF\xBB\xBF" : "") + csvRecord(names));

    bool faulted = false;
    while (std::optional<CsvRecord> record = reader.next()) {
      if (isBlankRecord(*record)) continue;
      output.write(csvRecord(computeRow(*header, readRow(*header, *record), faulted)));
    }
    return {faulted ? batchRowFaulted : batchAllComputed, std::nullopt};
  } catch (const CsvError& error) {
    return {batchInputUnusable, inputError(error, header)};
  }
}

BatchRun runBatch(std::string_view csvText, const BatchOptions& options) {
  class TextOutput final : public BatchOutput {
   public:
    void write(std::string_view bytes) override { text.append(bytes); }
    std::string text;
  };
  StringSource source(csvText);
  TextOutput output;
  const BatchResult result = runBatch(source, output, options);
  return {result.exitStatus, std::move(output.text), result.error};
}

}  // namespace velkarin
