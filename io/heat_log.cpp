// SPDX-License-Identifier: Apache-2.0
#include "io/heat_log.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <unordered_map>

#include "calc/number_list.h"
#include "calc/number_text.h"

namespace velkarin {
namespace {

enum Column : std::size_t {
  heatCol,
  stageCol,
  wCol,
  c0Col,
  t0Col,
  fCol,
  crCol,
  niCol,
  siCol,
  mnCol,
  gasCol,
  o2Col,
  limeCol,
  scrapCol,
  inertCol,
  cCol,
  tCol,
  columnCount
};
constexpr std::array<std::string_view, columnCount> names{
    "heat", "stage", "w", "c0", "t0", "f", "cr", "ni", "si", "mn", "gas", "o2", "lime", "scrap", "inert", "c", "t"};
constexpr std::array<std::string_view, columnCount> shown{
    "heat", "stage", "W", "C0", "T0", "F", "Cr", "Ni", "Si", "Mn", "gas", "O2", "lime", "scrap", "inert", "C", "t"};
using Positions = std::array<std::optional<std::size_t>, columnCount>;

// More stages than any vessel blows: a row beyond is a fault, not memory spent.
constexpr std::size_t maxLoggedStages = 1000;

// What a figure of a log may be: beyond it, a typing or unit slip that would
// make the fit follow one row (a t of 1e300 °C, a W of 1e300 t).
struct Span {
  double low, high;
  bool lowIncluded;
  const char* what;
};
constexpr std::array<Span, columnCount> spans{{
    {0, 0, true, ""},  // heat
    {0, 0, true, ""},  // stage
    {0, 10000, false, "between 0 and 10000 t"},
    {0, 100, false, "between 0 and 100 %"},
    {0, 3000, true, "between 0 and 3000 °C"},
    {0, 100000, false, "between 0 and 100000 Nm³/min"},
    {0, 100, false, "between 0 and 100 %"},
    {0, 100, true, "between 0 and 100 %"},
    {0, 100, true, "between 0 and 100 %"},
    {0, 100, true, "between 0 and 100 %"},
    {0, 0, true, ""},  // gas
    {0, 1e6, true, "between 0 and 1000000 Nm³"},
    {0, 1e6, true, "between 0 and 1000000 kg"},
    {0, 1e6, true, "between 0 and 1000000 kg"},
    {0, 0, true, ""},                                 // inert
    {0.0001, 100, true, "between 0.0001 and 100 %"},  // below, no analysis tells carbon
    {0, 3000, true, "between 0 and 3000 °C"},
}};

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The heat being read: its rows so far, and the first fault among them.
struct OpenHeat {
  LoggedHeat heat;
  std::array<std::optional<double>, columnCount> figures{};  // the heat's own figures, from its first row
  std::optional<HeatLogFault> fault;
  // A heat seen before: its earlier place was left out, and counted so
  // (false: it was kept, and is taken out and counted with this one).
  bool earlierLeftOut = true;
};

class LogReader {
 public:
  LogReader(const SimulationHeat& settings, HeatLogRead& out) : settings_(settings), out_(out) {}

  std::optional<std::string> header(const CsvRecord& record) {
    for (std::size_t i = 0; i < record.fields.size(); ++i) {
      const std::string name = lower(trimmedItem(record.fields[i]));
      for (std::size_t c = 0; c < columnCount; ++c) {
        if (name != names[c]) continue;
        if (at_[c]) return "column '" + std::string(shown[c]) + "' named twice";
        at_[c] = i;
      }
    }
    for (const Column c : {heatCol, stageCol, gasCol, o2Col}) {
      if (!at_[c]) return "no column named " + std::string(shown[c]);
    }
    return std::nullopt;
  }

  void row(const CsvRecord& record) {
    const std::string id(cell(record, heatCol));
    if (!open_ || open_->heat.id != id) {
      close();
      open_.emplace();
      open_->heat.id = id;
      open_->heat.heat = settings_;
      // A heat whose rows stand in two places: neither place is used.
      if (const auto earlier = seen_.find(id); earlier != seen_.end()) {
        open_->fault =
            HeatLogFault{record.line, id, "heat '" + id + "' has rows elsewhere; a heat's rows stand together"};
        if (earlier->second) {  // kept: taken out again, and counted with this fault
          out_.heats.erase(
              std::find_if(out_.heats.begin(), out_.heats.end(), [&](const LoggedHeat& h) { return h.id == id; }));
          earlier->second = false;
          open_->earlierLeftOut = false;
        }
      }
    }
    if (open_->fault) return;
    if (std::optional<std::string> problem = read(record)) {
      open_->fault = HeatLogFault{record.line, id, *problem};
    }
  }

  void close() {
    if (!open_) return;
    const bool known = seen_.count(open_->heat.id) > 0;
    if (open_->fault) {
      out_.faults.push_back(*open_->fault);
      if (!known || !open_->earlierLeftOut) ++out_.excluded;  // each heat left out counts once
      seen_[open_->heat.id] = false;
    } else {
      seen_[open_->heat.id] = true;
      out_.heats.push_back(std::move(open_->heat));
    }
    open_.reset();
  }

 private:
  std::string_view cell(const CsvRecord& record, Column c) const {
    return at_[c] && *at_[c] < record.fields.size() ? trimmedItem(record.fields[*at_[c]]) : std::string_view();
  }

  // One row's stage into the open heat; the reason where it cannot be read.
  std::optional<std::string> read(const CsvRecord& record) {
    LoggedHeat& heat = open_->heat;
    if (cell(record, heatCol).empty()) return std::string("no heat id");
    const std::string stageText(cell(record, stageCol));
    if (stageText != std::to_string(heat.stages.size() + 1)) {
      return "stage '" + stageText + "' where stage " + std::to_string(heat.stages.size() + 1) + " comes next";
    }
    std::optional<std::string> problem;
    const auto number = [&](Column c) -> std::optional<double> {
      if (cell(record, c).empty() || problem) return std::nullopt;
      const std::optional<double> value = readFiniteNumber(cell(record, c));
      const std::string quoted = std::string(shown[c]) + " '" + std::string(cell(record, c)) + "'";
      if (!value) {
        problem = quoted + " is not a number";
      } else if (const Span& span = spans[c];
                 *value > span.high || *value < span.low || (*value == span.low && !span.lowIncluded)) {
        problem = quoted + " is not " + span.what;
      }
      return value;
    };
    // The heat's figures: given on its first row, repeated or empty later.
    for (const Column c : {wCol, c0Col, t0Col, fCol, crCol, niCol, siCol, mnCol}) {
      const std::optional<double> value = number(c);
      if (problem) return problem;
      std::optional<double>& known = open_->figures[c];
      if (heat.stages.empty()) {
        known = value;
      } else if (value && value != known) {
        return std::string(shown[c]) + " differs from the heat's first row";
      }
    }
    if (heat.stages.empty()) {
      const auto& f = open_->figures;
      heat.heat.massTonnes = f[wCol];
      heat.heat.startCarbon = f[c0Col];
      heat.heat.startTemperature = f[t0Col];
      heat.heat.oxygenFlow = f[fCol];
      if (!f[crCol]) return std::string("no Cr on the heat's first row");
      heat.heat.composition = {*f[crCol], f[niCol].value_or(0), f[siCol].value_or(0), f[mnCol].value_or(0)};
      for (const Column c : {wCol, c0Col, t0Col, fCol}) {
        if (!f[c]) return "no " + std::string(shown[c]) + " on the heat's first row";
      }
    }
    SimulationStage stage;
    stage.gas = std::string(cell(record, gasCol));
    stage.oxygen = number(o2Col);
    stage.lime = number(limeCol).value_or(0);
    stage.scrap = number(scrapCol).value_or(0);
    const std::optional<double> carbon = number(cCol), temperature = number(tCol);
    if (problem) return problem;
    if (!stage.oxygen) return std::string("no O2 blown");
    const std::string inert = lower(cell(record, inertCol));
    if (inert == "n2") {
      stage.inert = InertGas::Nitrogen;
    } else if (!inert.empty() && inert != "ar") {
      return "inert '" + std::string(cell(record, inertCol)) + "' is neither Ar nor N2";
    }
    if (heat.stages.size() == maxLoggedStages) return "more than " + std::to_string(maxLoggedStages) + " stages";
    heat.stages.push_back(std::move(stage));
    heat.endCarbon.push_back(carbon);
    heat.endTemperature.push_back(temperature);
    return std::nullopt;
  }

  const SimulationHeat& settings_;
  HeatLogRead& out_;
  Positions at_{};
  std::optional<OpenHeat> open_;
  std::unordered_map<std::string, bool> seen_;  // the heats closed so far: kept, or left out
};

bool blank(const CsvRecord& record) {
  for (const std::string& field : record.fields) {
    if (!trimmedItem(field).empty()) return false;
  }
  return true;
}

std::string number(const std::optional<double>& value) { return value ? formatShortest(*value) : std::string(); }

}  // namespace

HeatLogRead readHeatLog(ByteSource& input, const SimulationHeat& settings, const std::function<bool()>& keepGoing) {
  HeatLogRead out;
  LogReader log(settings, out);
  bool headed = false;
  try {
    CsvReader reader(input);
    while (const auto record = reader.next()) {
      if (keepGoing && !keepGoing()) {
        out.cancelled = true;
        break;
      }
      if (blank(*record)) continue;
      if (!headed) {
        if (const std::optional<std::string> problem = log.header(*record)) {
          out.error = BatchInputError{record->line, std::nullopt, *problem};
          return out;
        }
        headed = true;
        continue;
      }
      log.row(*record);
    }
  } catch (const CsvError& error) {
    out.error = BatchInputError{error.line(), std::nullopt, error.what()};
    return out;
  }
  if (!headed) out.error = BatchInputError{1, std::nullopt, "no header row"};
  log.close();
  return out;
}

HeatLogRead readHeatLog(std::string_view text, const SimulationHeat& settings) {
  StringSource source(text);
  return readHeatLog(source, settings);
}

std::string calibrationTable(const Calibration& fit, std::size_t excluded) {
  std::string text = "k\tse_k\tL\tse_L\tcorr\theats\tends\texcluded\trms_lnC\trms_T\tcv_rms_lnC\tcv_rms_T\n";
  const bool ok = fit.problem == CalibrationProblem::None;
  const auto figure = [&](double value) { return ok ? formatShortest(value) : std::string(); };
  const auto maybe = [&](const std::optional<double>& value) { return ok ? number(value) : std::string(); };
  const std::vector<std::string> cells{figure(fit.rateConstant),      figure(fit.rateConstantError),
                                       figure(fit.heatLoss),          figure(fit.heatLossError),
                                       figure(fit.correlation),       std::to_string(fit.heats),
                                       std::to_string(fit.ends),      std::to_string(fit.excluded + excluded),
                                       maybe(fit.rmsLnCarbon),        maybe(fit.rmsTemperature),
                                       maybe(fit.heldOutRmsLnCarbon), maybe(fit.heldOutRmsTemperature)};
  for (std::size_t i = 0; i < cells.size(); ++i) text += (i ? "\t" : "") + cells[i];
  return text + "\n";
}

std::string residualTable(const Calibration& fit, const std::vector<LoggedHeat>& heats) {
  std::string text = "heat\tstage\tC_meas\tC_pred\tt_meas\tt_pred\n";
  for (const EndResidual& r : fit.residuals) {
    text += heats.at(r.heat).id + "\t" + std::to_string(r.stage + 1) + "\t" + number(r.carbonMeasured) + "\t" +
            number(r.carbonPredicted) + "\t" + number(r.temperatureMeasured) + "\t" + number(r.temperaturePredicted) +
            "\n";
  }
  return text;
}

std::string calibrationProblemEnglish(const Calibration& fit) {
  switch (fit.problem) {
    case CalibrationProblem::None:
      return {};
    case CalibrationProblem::TooFewHeats:
      return "fewer than " + std::to_string(fewestCalibrationHeats) + " heats that can be simulated (" +
             std::to_string(fit.heats) + "; " + std::to_string(fit.excluded) + " cannot be simulated)";
    case CalibrationProblem::NoMeasuredEnds:
      return "no stage end with a measured C or t";
    case CalibrationProblem::NotConverged:
      return "the fit did not converge in " + std::to_string(fit.iterations) + " iterations";
    case CalibrationProblem::Undetermined:
      return "the measured ends do not determine both k and L";
    case CalibrationProblem::NotFinite:
      return "a fitted figure is beyond the number range";
    case CalibrationProblem::Cancelled:
      return "cancelled";
  }
  return {};
}

}  // namespace velkarin
