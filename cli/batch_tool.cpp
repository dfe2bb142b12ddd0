// SPDX-License-Identifier: Apache-2.0
#include "cli/batch_tool.h"

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "calc/calculation.h"
#include "calc/fault.h"
#include "calc/melt_state_input.h"
#include "calc/number_list.h"
#include "calc/number_text.h"
#include "calc/reaction_data.h"
#include "calc/result_presentation.h"
#include "cli/csv.h"

namespace velkarin {
namespace {

// The cells read as prompt answers, one per prompt.
struct AnswerColumn {
  std::string_view name;
  MeltField field;
};

constexpr std::array<AnswerColumn, promptCount> answerColumns{{
    {"t", MeltField::Temperature},   // °C
    {"C", MeltField::Carbon},        // mass %
    {"Cr", MeltField::Chromium},     // mass %
    {"Ni", MeltField::Nickel},       // mass %
    {"Si", MeltField::Silicon},      // mass %
    {"Mn", MeltField::Manganese},    // mass %
    {"pCO", MeltField::CoPressure},  // Pa
}};

// Positions in inputColumns.
constexpr std::size_t reactionColumn = 0;
constexpr std::size_t aColumn = 1;
constexpr std::size_t bColumn = 2;
constexpr std::size_t firstAnswerColumn = 3;

constexpr std::array<std::string_view, 3 + promptCount> inputColumns{
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

constexpr std::array<std::string_view, resultColumns.size() + 4> resultColumnNames{
    resultColumns[0].name,
    resultColumns[1].name,
    resultColumns[2].name,
    resultColumns[3].name,
    resultColumns[4].name,
    resultColumns[5].name,
    resultColumns[6].name,
    resultColumns[7].name,
    resultColumns[8].name,
    resultColumns[9].name,
    resultColumns[10].name,
    resultColumns[11].name,
    "resultLine",
    "fault",
    "message",
    "equilibriumCarbon",
};

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

// A line with nothing but blanks in its cells, as editors and spreadsheets
// leave between or after the rows.
bool isBlankRecord(const CsvRecord& record) { return std::ranges::all_of(record.fields, isBlank); }

struct Header {
  CsvRecord record;
  std::array<std::size_t, inputColumns.size()> position{};  // field index of each input column
};

// The header of the input; for a fit, A and B may be missing (they are not read).
Header readHeader(const CsvRecord& record, bool fit = false) {
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
  // An echoed column named like a result column would make the output's
  // columns ambiguous to whatever reads them by name.
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

// A row's answer cells as the answers to the seven prompts, in prompt order
// (the order of answerColumns); a blank cell is the prompt's pre-filled
// default, confirmed unchanged.
class CellPrompts final : public PromptSource {
 public:
  explicit CellPrompts(std::function<const std::string&(std::size_t)> answer) : answer_(std::move(answer)) {}
  std::optional<std::string> ask(const Prompt& prompt) override {
    const std::string& answer = answer_(next_++);
    return isBlank(answer) ? prompt.defaultAnswer : answer;
  }

 private:
  std::function<const std::string&(std::size_t)> answer_;
  std::size_t next_ = 0;
};

struct HeatRow {
  const CsvRecord* record = nullptr;
  Reaction reaction = Reaction::Cr2O3;
};

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
    fields.push_back(outcome.fault->message);
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

std::string describe(const BatchInputError& error) {
  std::string text = "line " + std::to_string(error.line);
  if (error.column) text += ", column " + *error.column;
  return text + ": " + error.message;
}

namespace {

// A CsvError as the input error it is, its field named by the header.
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

// The first record that is not blank: the header line.
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

// A row's cells asked as the window's prompts under the reaction's first
// preset row (A and B are not read): its melt state, or the outcome of a
// cell beyond the number range (the calculation would not start), or of a
// t cell that holds no temperature.
std::variant<CalculationRequest, CalculationOutcome> askRow(const Header& header, const HeatRow& row) {
  const PresetRow& firstPreset = reactionData(row.reaction).presets.front();
  const std::string& temperature = row.record->fields[header.position[firstAnswerColumn]];
  if (!temperatureReads(temperature)) {
    CalculationOutcome outcome;
    outcome.status = CalculationOutcome::Status::Faulted;
    const FaultKind kind = FaultKind::TypeMismatch;
    outcome.fault =
        Fault{kind, std::string(faultKindName(kind)) + "：温度“" + messageExcerpt(temperature) + "”不是数字"};
    return outcome;
  }
  CellPrompts prompts(
      [&](std::size_t i) -> const std::string& { return row.record->fields[header.position[firstAnswerColumn + i]]; });
  return askCalculation(row.reaction, {std::string(firstPreset.a), std::string(firstPreset.b)}, prompts);
}

}  // namespace

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
      std::optional<LineFit>& fit = fits[static_cast<std::size_t>(row.reaction)];
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

PlantHeatsRead readPlantHeats(ByteSource& input, const std::function<bool()>& keepGoing) {
  CsvReader reader(input);
  std::optional<Header> header;
  PlantHeatsRead read;
  try {
    header = readHeader(headerRecord(reader), true);
    // The heat's name: its "heat" column, else its "id" column.
    std::optional<std::size_t> idField;
    for (const std::string_view name : {"heat", "id"}) {
      for (std::size_t i = 0; i < header->record.fields.size() && !idField; ++i) {
        if (equalsIgnoringCase(trimBlanks(header->record.fields[i]), name)) idField = i;
      }
    }
    while (std::optional<CsvRecord> record = reader.next()) {
      if (keepGoing && !keepGoing()) {
        read.cancelled = true;
        break;
      }
      if (isBlankRecord(*record)) continue;
      const HeatRow row = readRow(*header, *record);
      PlantHeat heat;
      heat.line = record->line;
      heat.reaction = row.reaction;
      if (idField) heat.id = std::string(trimBlanks(record->fields[*idField]));
      const auto asked = askRow(*header, row);
      if (const auto* request = std::get_if<CalculationRequest>(&asked)) {
        heat.state = request->state;
        // A state the fit cannot take gets the calculation's own reason.
        if (!equilibriumLineValue(row.reaction, request->state)) {
          const CalculationOutcome outcome = computeEquilibrium(request->reaction, request->constants, request->state);
          heat.fault = outcome.fault ? outcome.fault->message : "C、Cr或CO分压不是正数，或温度不高于0 K";
          heat.fitted = false;
        }
      } else {
        const CalculationOutcome& outcome = std::get<CalculationOutcome>(asked);
        heat.fault = outcome.fault ? outcome.fault->message : "输入超出了数值范围";
        heat.fitted = false;
      }
      read.heats.push_back(std::move(heat));
    }
  } catch (const CsvError& error) {
    read.error = inputError(error, header);
    read.heats.clear();  // nothing half-read
  }
  return read;
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
