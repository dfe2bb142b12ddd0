// SPDX-License-Identifier: Apache-2.0
#include "calc/result_presentation.h"

#include <algorithm>
#include <array>

#include "calc/csv_field.h"
#include "calc/number_text.h"
#include "calc/reaction_data.h"

namespace velkarin {

using constants::kelvinOffset;
using constants::standardPressure;

std::string trialCountText(const std::optional<std::int64_t>& count) {
  return count ? std::to_string(*count) : std::string();
}

std::optional<double> reportedCarbon(const EquilibriumResult& result) {
  if (result.scanHit) return result.trialCarbon;
  return result.equilibriumCarbon;
}

std::string resultLine(const MeltState& state, const EquilibriumResult& result) {
  const char* sep = "   ";
  const std::optional<double> carbon = reportedCarbon(result);
  std::string line = "t=" + formatPattern(state.temperature - kelvinOffset, DigitPattern::Whole4);
  line += sep + std::string("c=") + formatPattern(state.carbon, DigitPattern::Decimals3);
  line += sep + std::string("cr=") + formatPattern(state.chromium, DigitPattern::Decimals3);
  line += sep + std::string("Pco=") + formatPattern(state.coPressure, DigitPattern::Whole);
  line += sep + std::string("G=") + formatPattern(result.freeEnergyChange, DigitPattern::Whole6);
  line += sep + std::string("teq=") +
          formatPattern(result.equilibriumTemperature - kelvinOffset, DigitPattern::Whole4) + "℃";
  line += sep + std::string("pcoeq=") +
          formatPattern(result.equilibriumPressureRatio * standardPressure, DigitPattern::Whole);
  line +=
      sep + std::string("ceq=") + (carbon ? formatPattern(*carbon, DigitPattern::Decimals3) : std::string("未找到"));
  line += sep + std::string("ccc=") + formatPattern(result.carbonFromConstant, DigitPattern::Decimals3);
  return line;
}

namespace {

// The pieces of a ResultLine: key, the column's header, and a unit suffix the
// value carries in the line.
struct LinePiece {
  std::string_view key;
  std::string_view column;
  std::string_view suffix;
};

constexpr std::array<LinePiece, 9> linePieces{{
    {"t=", "t/℃", ""},
    {"c=", "c/%", ""},
    {"cr=", "cr/%", ""},
    {"Pco=", "Pco/Pa", ""},
    {"G=", "G/(J/mol)", ""},
    {"teq=", "teq/℃", "℃"},
    {"pcoeq=", "pcoeq/Pa", ""},
    {"ceq=", "ceq/%", ""},
    {"ccc=", "ccc/%", ""},
}};

// The values of a ResultLine, or nothing when the line is not one.
std::optional<std::vector<std::string>> lineValues(std::string_view line) {
  constexpr std::string_view separator = "   ";
  std::vector<std::string> values;
  for (std::size_t i = 0; i < linePieces.size(); ++i) {
    const LinePiece& piece = linePieces[i];
    if (i > 0) {
      if (!line.starts_with(separator)) return std::nullopt;
      line.remove_prefix(separator.size());
    }
    if (!line.starts_with(piece.key)) return std::nullopt;
    line.remove_prefix(piece.key.size());
    const std::size_t end = std::min(line.find(separator), line.size());
    std::string_view value = line.substr(0, end);
    line.remove_prefix(end);
    if (!value.ends_with(piece.suffix)) return std::nullopt;
    value.remove_suffix(piece.suffix.size());
    values.emplace_back(value);
  }
  if (!line.empty()) return std::nullopt;
  return values;
}

}  // namespace

std::string resultListCsv(const std::vector<std::string>& lines) {
  std::string csv;
  for (const LinePiece& piece : linePieces) {
    if (!csv.empty()) csv += ',';
    csv += piece.column;
  }
  csv += "\r\n";
  for (const std::string& line : lines) {
    const std::optional<std::vector<std::string>> values = lineValues(line);
    if (!values) {
      csv += csvField(line) + "\r\n";
      continue;
    }
    for (std::size_t i = 0; i < values->size(); ++i) {
      if (i > 0) csv += ',';
      csv += csvField((*values)[i]);
    }
    csv += "\r\n";
  }
  return csv;
}

std::string_view noRootText(CarbonGap gap) {
  switch (gap) {
    case CarbonGap::BelowRange:
      return "<0.001";
    case CarbonGap::AboveRange:
      return ">5000";
    default:
      return {};
  }
}

namespace {

void presentFirstResults(ResultSink& sink, const EquilibriumResult& r) {
  sink.setOutput(ResultText::EquilibriumTemperature,
                 formatPattern(r.equilibriumTemperature - kelvinOffset, DigitPattern::Whole), {});
  sink.setOutput(ResultText::EquilibriumPressure,
                 formatPattern(r.equilibriumPressureRatio * standardPressure, DigitPattern::Whole), {});
  sink.setOutput(ResultText::FreeEnergyChange, formatPattern(r.freeEnergyChange, DigitPattern::Whole), {});
}

// The note of a ScanCarbon text where no root lies in range, for its side.
std::string_view noRootNote(CarbonGap gap, const ResultNotes& notes) {
  switch (gap) {
    case CarbonGap::BelowRange:
      return notes.belowRange;
    case CarbonGap::AboveRange:
      return notes.aboveRange;
    default:
      return {};
  }
}

void presentScan(ResultSink& sink, const EquilibriumResult& r, const ResultNotes& notes) {
  if (r.scanHit) {
    sink.setOutput(ResultText::ScanCarbon, formatPattern(r.trialCarbon, DigitPattern::Decimals6), {});
    sink.setOutput(ResultText::ScanFreeEnergy, formatPattern(r.trialFreeEnergy, DigitPattern::Decimals6), {});
    sink.setOutput(ResultText::TrialCount, trialCountText(r.trialCount), {});
  } else if (r.equilibriumCarbon) {
    // The steps jumped over the window: the continuous root, marked as such.
    sink.setOutput(ResultText::ScanCarbon, formatPattern(*r.equilibriumCarbon, DigitPattern::Decimals6),
                   std::string(notes.stepOver));
    sink.setOutput(ResultText::ScanFreeEnergy, formatPattern(r.equilibriumCarbonFreeEnergy, DigitPattern::Decimals6),
                   {});
    sink.setOutput(ResultText::TrialCount, std::string(), {});
  } else {
    // No root in range: the boxes must not go on showing another state's results.
    sink.setOutput(ResultText::ScanCarbon, std::string(noRootText(r.equilibriumCarbonGap)),
                   std::string(noRootNote(r.equilibriumCarbonGap, notes)));
    sink.setOutput(ResultText::ScanFreeEnergy, std::string(), {});
    sink.setOutput(ResultText::TrialCount, std::string(), {});
  }
}

}  // namespace

void presentOutcome(ResultSink& sink, const CalculationOutcome& out, const ResultNotes& notes) {
  if (out.status == CalculationOutcome::Status::Cancelled) return;
  const EquilibriumResult& r = out.result;
  if (!out.computed(ResultField::EquilibriumPressure)) return;
  presentFirstResults(sink, r);
  if (!out.computed(ResultField::Scan)) return;
  presentScan(sink, r, notes);
  if (!out.computed(ResultField::PressureFromConstant)) return;
  sink.setOutput(ResultText::PressureFromConstant, formatPattern(r.pressureFromConstant, DigitPattern::Whole), {});
  if (!out.computed(ResultField::CarbonFromConstant)) return;
  sink.setOutput(ResultText::CarbonFromConstant, formatPattern(r.carbonFromConstant, DigitPattern::Decimals6), {});

  sink.appendResultLine(resultLine(out.state, r));
  const std::optional<double> carbon = reportedCarbon(r);
  sink.setClipboard(carbon ? std::optional(formatPattern(*carbon, DigitPattern::Decimals6)) : std::nullopt);
  if (!carbon) {
    const CarbonGap gap = r.equilibriumCarbonGap;
    sink.notify(std::string(gap == CarbonGap::BelowRange   ? notes.noticeBelow
                            : gap == CarbonGap::AboveRange ? notes.noticeAbove
                                                           : notes.noticeNone));
  }
}

}  // namespace velkarin
