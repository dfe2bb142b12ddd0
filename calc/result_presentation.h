// SPDX-License-Identifier: Apache-2.0
#pragma once

// What the user sees of a calculation: its eight result texts,
// one ResultLine for the window's list, the clipboard text and, where no
// equilibrium carbon exists in 0.001–5000 %C, a notice. The presenter hands
// these to a ResultSink from a finished CalculationOutcome, in the window's
// order and only as far as the calculation got, so a fault part-way leaves
// exactly the earlier hand-offs done.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/calculation_outcome.h"
#include "calc/records.h"

namespace velkarin {

// The result texts of a calculation, named for what they show, in the order
// they are handed off. Which box of a window shows which is the window's
// business.
enum class ResultText {
  EquilibriumTemperature,  // bath temperature in equilibrium with the state, °C
  EquilibriumPressure,     // CO partial pressure in equilibrium with the state, Pa
  FreeEnergyChange,        // ΔG at the entered state, J/mol
  ScanCarbon,              // the scan's hit, the continuous root, or the side with no root, mass %
  ScanFreeEnergy,          // y of the trial equation at that carbon
  TrialCount,              // trial steps of the scan
  PressureFromConstant,    // CO partial pressure from the equilibrium constant, Pa
  CarbonFromConstant,      // carbon from the equilibrium constant and fc, mass %
};
inline constexpr std::size_t resultTextCount = 8;

// Receives the hand-offs of one calculation, in this order:
//   setOutput(EquilibriumTemperature), (EquilibriumPressure), (FreeEnergyChange)
//   setOutput(ScanCarbon), (ScanFreeEnergy), (TrialCount)
//   setOutput(PressureFromConstant)
//   setOutput(CarbonFromConstant)
//   appendResultLine
//   setClipboard     the equilibrium carbon as the ScanCarbon text shows it, or nothing
//   notify           only when no equilibrium carbon exists in range
class ResultSink {
 public:
  virtual ~ResultSink() = default;
  // Replaces the text of a quantity. A non-empty note marks a text that is not the
  // scan's own result (shown in a distinct colour, the note as its tooltip);
  // an empty note restores the plain look.
  virtual void setOutput(ResultText quantity, const std::string& text, const std::string& note) = 0;
  virtual void appendResultLine(const std::string& line) = 0;
  // Empties the clipboard, then puts text on it as plain text, if there is one.
  virtual void setClipboard(const std::optional<std::string>& text) = 0;
  virtual void notify(const std::string& message) = 0;
};

// A sink that ignores everything.
class NullResultSink final : public ResultSink {
 public:
  void setOutput(ResultText, const std::string&, const std::string&) override {}
  void appendResultLine(const std::string&) override {}
  void setClipboard(const std::optional<std::string>&) override {}
  void notify(const std::string&) override {}
};

// Text of the scan result pieces; the trial count's text is empty when the
// very first trial hit.
std::string trialCountText(const std::optional<std::int64_t>& count);

// The equilibrium carbon the window reports, mass %: the scan's hit, else the
// continuous root where the scan stepped over its window; empty where there
// is no root in 0.001–5000 %C.
std::optional<double> reportedCarbon(const EquilibriumResult& result);

// The one-line summary appended to the result list, e.g.
// "t=1650   c=2.200   cr=18.000   Pco=101325   G=-137074   teq=1349℃   pcoeq=1764649   ceq=0.326   ccc=0.126".
// The ceq piece is reportedCarbon(); "ceq=未找到" where there is none.
std::string resultLine(const MeltState& state, const EquilibriumResult& result);

// The lines of a result list as CSV for a spreadsheet (UTF-8, CRLF line
// ends): a header row naming each piece with its unit, then one row per
// line with the pieces' values (teq without its "℃"). A line that is not a
// ResultLine becomes a row of its own whole text.
std::string resultListCsv(const std::vector<std::string>& lines);

// The ScanCarbon text where no root lies in range: "<0.001", ">5000", or empty.
std::string_view noRootText(CarbonGap gap);

// The words the presenter hands to the sink with the numbers, in the front
// end's language (words/chinese.h has the window's): the note of the
// ScanCarbon text after a step-over and where no root lies below or above
// the range, and the notice after a calculation without an equilibrium
// carbon in range, by the side where it lies (none: the root is missing for
// another reason).
struct ResultNotes {
  std::string_view stepOver;
  std::string_view belowRange;
  std::string_view aboveRange;
  std::string_view noticeBelow;
  std::string_view noticeAbove;
  std::string_view noticeNone;
};

// Hands a finished calculation to the sink: every group of results that was
// computed, then, for a completed calculation, the list line, the clipboard
// and the notice. A cancelled calculation hands over nothing.
void presentOutcome(ResultSink& sink, const CalculationOutcome& outcome, const ResultNotes& notes);

}  // namespace velkarin
