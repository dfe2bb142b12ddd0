// SPDX-License-Identifier: Apache-2.0
#include "cli/schedule_command.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string_view>

#include "calc/blow_ledger.h"
#include "calc/number_list.h"
#include "calc/number_text.h"
#include "calc/plan_file.h"
#include "calc/reaction_data.h"
#include "calc/stage_solve.h"
#include "cli/curve_command.h"
#include "cli/stage_command.h"
#include "io/descriptor_io.h"
#include "io/terminal_text.h"
#include "words/chinese.h"

namespace velkarin {
namespace {

// Reads a whole file of at most `limit` bytes with `read` (a stage file
// streams, a plan is read whole): the result, or the reason it cannot.
template <typename Result, typename Read>
std::variant<Result, std::string> readFile(const std::string& path, std::size_t limit, Read read) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::string(std::strerror(errno));
  std::variant<Result, std::string> result;
  try {
    DescriptorSource source(fd, limit);
    result = read(source);
  } catch (const ReadFailure& failure) {
    ::close(fd);
    if (failure.error() == EFBIG) return "larger than " + std::to_string(limit >> 20) + " MiB";
    return std::string(std::strerror(failure.error()));
  }
  ::close(fd);
  return result;
}

// What a schedule's file gives: a plan (a stage file's: the default plan
// with its stages) and the conditions it was computed under, in order.
struct ScheduleFile {
  Plan plan;
  std::vector<std::pair<std::string, std::string>> conditions;
};

std::variant<ScheduleFile, std::string> readSchedule(const CurveCommandOptions& options) {
  ScheduleFile file;
  if (options.planFile) {
    PlanFileRead read = readPlanFile(*options.planFile);
    if (!read.plan) return planFileReadEnglish(read);
    file.conditions = planConditions(*read.plan);
    file.plan = std::move(*read.plan);
    return file;
  }
  std::variant<StageDocument, std::string> read = readFile<StageDocument>(
      *options.stageFile, maxStageFileBytes, [](ByteSource& source) { return readStages(source); });
  if (const auto* error = std::get_if<std::string>(&read)) return *error;
  StageDocument& document = std::get<StageDocument>(read);
  file.plan.stages = std::move(document.stages);
  file.conditions = std::move(document.conditions);
  return file;
}

// The option's spelling of a reaction's file name ("Cr2O3" is --reaction cr2o3).
std::string lowerCase(std::string text) {
  for (char& ch : text) ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
  return text;
}

// The members no one gave: A and B the first preset row of their reaction,
// the optional ones their defaults (a default plan's texts).
void fillUngiven(SchedulePlan& s) {
  const PresetRow& shown = reactionData(s.plan.reaction).presets[0];
  const PresetRow& other = reactionData(otherReaction(s.plan.reaction)).presets[0];
  for (const auto& [place, text] :
       {std::pair{"A", shown.a}, std::pair{"B", shown.b}, std::pair{"otherA", other.a}, std::pair{"otherB", other.b}}) {
    if (!s.given.count(place)) setPlanCondition(s.plan, place, std::string(text));
  }
  for (const auto& [place, text] : planConditions(Plan())) {
    const std::optional<MemberOption> member = optionOfCondition(place);
    if (member && member->optional && !s.given.count(place)) setPlanCondition(s.plan, place, text);
  }
}

void printLedger(const StageEvaluation& e, const std::vector<BlowStage>& stages, std::ostream& out, std::ostream& err) {
  LedgerTable ledger = ledgerTable(stages, e.results, e.ledger);
  for (std::vector<std::string>& row : ledger.rows) {
    for (std::string& cell : row) cell = terminalText(cell);
  }
  out << ledgerTsv(ledger);
  for (std::size_t i = 0; i < e.ledger.stages.size() && i < e.results.size(); ++i) {
    const std::string note = ledgerStageEnglish(e.ledger.stages[i], stages[i], e.results[i]);
    if (!note.empty()) err << "velkarin-curve: note: stage " << i + 1 << ": " << terminalText(note) << "\n";
  }
}

// The three columns of the target: where each stage reaches it, by
// temperature in `range` and by gas ratio; a note where it does not (unless
// the stage's own issue says why).
void addTargetColumns(const StageEvaluation& e, const TemperatureRange& range, const std::vector<std::string>& notes,
                      std::vector<std::vector<std::string>>& table, std::ostream& err) {
  const double target = *e.target.value;
  table[0].insert(table[0].end(), {"达到目标的温度/℃", "达到目标的气体比", "达到目标的p_CO/Pa"});
  for (std::size_t i = 0; i < e.results.size(); ++i) {
    const StageSolution hot = solveStageTemperature(e.results[i], e.settings, target, range);
    const StageSolution blow = solveStagePressure(e.results[i], e.settings, target);
    std::vector<std::string>& row = table[i + 1];
    row.push_back(hot.status == SolveStatus::Found ? formatPattern(hot.temperatureCelsius, DigitPattern::Decimals3)
                                                   : "");
    row.push_back(blow.found() ? ratioText(blow.ratio) : "");
    row.push_back(blow.found() ? formatPattern(blow.coPressure, DigitPattern::Whole) : "");
    if (!notes[i].empty()) continue;  // the stage's own issue says it
    for (const auto& [s, byTemperature] : {std::pair{&hot, true}, std::pair{&blow, false}}) {
      const std::string note = solutionNoteEnglish(*s, target, range, byTemperature);
      if (!note.empty()) err << "velkarin-curve: note: stage " << i + 1 << ": " << terminalText(note) << "\n";
    }
  }
}

}  // namespace

std::variant<SchedulePlan, std::string> schedulePlan(Plan base,
                                                     const std::vector<std::pair<std::string, std::string>>& conditions,
                                                     const CurveCommandOptions& options) {
  SchedulePlan s{std::move(base), {}, {}};
  for (const auto& [place, text] : conditions) {
    const std::optional<MemberOption> member = optionOfCondition(place);
    if (!member || options.given.count(std::string(member->option))) continue;
    if (member->optional && trimmedItem(text).empty()) continue;
    if (!s.fromFile.insert(place).second) return place + ": --" + std::string(member->option) + " given twice";
    const std::optional<std::string> problem =
        optionValueProblem(member->option, place == "reaction" ? lowerCase(text) : text);
    if (problem) return place + ": " + *problem;
    setPlanCondition(s.plan, place, text);
  }
  s.given = s.fromFile;
  for (const auto& [place, text] : options.members) {
    setPlanCondition(s.plan, place, text);
    s.given.insert(place);
  }
  fillUngiven(s);
  return s;
}

int printStageEvaluation(const StageEvaluation& e, const std::vector<BlowStage>& stages,
                         const CurveCommandOptions& options, std::ostream& out, std::ostream& err) {
  if (options.ledger) {
    // A heat option in range whose figures are not: refused as the options are.
    if (const std::string why = ledgerHeatEnglish(e.ledger.problem, e.heat); !why.empty()) {
      err << "velkarin-curve: " << why << "\n\n" << curveCommandUsage();
      return curveExitUsage;
    }
    printLedger(e, stages, out, err);
    return curveExitOk;
  }
  std::vector<std::vector<std::string>> table = stageTable(stages, e.results);
  std::vector<std::string> notes(e.results.size());
  for (std::size_t i = 0; i < e.results.size(); ++i) notes[i] = stageIssueEnglish(stages[i], e.results[i]);
  if (e.target.value) addTargetColumns(e, options.family.temperatures, notes, table, err);
  for (std::size_t i = 0; i < e.results.size(); ++i) {
    if (!notes[i].empty()) err << "velkarin-curve: note: stage " << i + 1 << ": " << terminalText(notes[i]) << "\n";
  }
  // A cell holds what the file had: no tab, line end or escape sequence of
  // it may split the table or reach the terminal raw.
  for (std::vector<std::string>& row : table) {
    for (std::string& cell : row) cell = terminalText(cell);
  }
  out << stageTableTsv(table);
  return curveExitOk;
}

int runSchedule(const CurveCommandOptions& options, std::ostream& out, std::ostream& err) {
  const std::string& path = options.planFile ? *options.planFile : *options.stageFile;
  const auto refuse = [&](const std::string& why) {
    err << "velkarin-curve: " << terminalText(path) << ": " << terminalText(why) << "\n";
    return curveExitInput;
  };
  const auto usage = [&](const std::string& why) {
    err << "velkarin-curve: " << why << "\n\n" << curveCommandUsage();
    return curveExitUsage;
  };
  std::variant<ScheduleFile, std::string> read = readSchedule(options);
  if (const auto* error = std::get_if<std::string>(&read)) return refuse(*error);
  ScheduleFile& file = std::get<ScheduleFile>(read);
  const std::variant<SchedulePlan, std::string> made = schedulePlan(std::move(file.plan), file.conditions, options);
  if (const auto* error = std::get_if<std::string>(&made)) return refuse(*error);
  const SchedulePlan& s = std::get<SchedulePlan>(made);
  if (const auto problem = planMembersProblem(s.plan, s.given.count("pressures") > 0)) {
    // Which option the message is about ("--a/--b: …", "--total-pressure must …"):
    // the file's member where the file gave it, else the command line's.
    const std::size_t end = problem->find_first_of(":/ ", 2);
    const std::string place = conditionOfOption(problem->rfind("--", 0) == 0 ? problem->substr(2, end - 2) : "");
    if (s.fromFile.count(place)) return refuse(place + ": " + *problem);
    return usage(*problem);
  }
  const StageEvaluation evaluation = evaluateStages(s.plan, readPlanEntries(s.plan), *otherLineOf(s.plan));
  if (const auto problem = ledgerProblem(options.ledger, evaluation.heat)) return usage(*problem);
  return printStageEvaluation(evaluation, s.plan.stages, options, out, err);
}

}  // namespace velkarin
