#pragma once

// What the user sees of a calculation: the texts of the eight output boxes,
// one ResultLine for the window's list, the clipboard text and, for a scan
// that found no equilibrium carbon, a notice. The calculation hands these to
// a ResultSink at fixed points, so a fault part-way leaves exactly the
// earlier hand-offs done.

#include <optional>
#include <string>
#include <string_view>

#include "calc/records.h"

namespace velkarin {

// Output boxes of a calculation window, Text1 … Text8.
enum class OutputBox { Text1 = 1, Text2, Text3, Text4, Text5, Text6, Text7, Text8 };

// Receives the hand-offs of one calculation, in this order:
//   setOutput(Text1), (Text2), (Text3)      first results
//   setOutput(Text4), (Text5), (Text6)      scan results, or three empty texts after a run-out
//   setOutput(Text7)
//   setOutput(Text8)
//   appendResultLine
//   setClipboard                            the trial carbon, or nothing after a run-out
//   notify                                  only after a run-out
class ResultSink {
 public:
  virtual ~ResultSink() = default;
  virtual void setOutput(OutputBox box, const std::string& text) = 0;
  virtual void appendResultLine(const std::string& line) = 0;
  // Empties the clipboard, then puts text on it as plain text, if there is one.
  virtual void setClipboard(const std::optional<std::string>& text) = 0;
  virtual void notify(const std::string& message) = 0;
};

// A sink that ignores everything: the calculation runs the same without one.
class NullResultSink final : public ResultSink {
 public:
  void setOutput(OutputBox, const std::string&) override {}
  void appendResultLine(const std::string&) override {}
  void setClipboard(const std::optional<std::string>&) override {}
  void notify(const std::string&) override {}
};

// Text of the scan result pieces; the trial count's text is empty when the
// very first trial hit.
std::string trialCountText(const std::optional<std::int64_t>& count);

// The one-line summary appended to the result list, e.g.
// "t=1650   c=2.200   cr=18.000   Pco=101325   G=-137074   teq=1349℃   pcoeq=1764649   ceq=0.326   ccc=0.126".
// After a scan that ran out, the ceq piece reads "ceq=未找到".
std::string resultLine(const MeltState& state, const EquilibriumResult& result);

// The notice shown after a scan that found no equilibrium carbon content.
std::string_view scanRunOutNotice();

// The presentation steps, called by the calculators at their fixed points.
void presentFirstResults(ResultSink& sink, const EquilibriumResult& result);
void presentScan(ResultSink& sink, const EquilibriumResult& result);
void presentPressureFromConstant(ResultSink& sink, const EquilibriumResult& result);
void presentCarbonFromConstant(ResultSink& sink, const EquilibriumResult& result);
// List line, clipboard and (after a run-out) the notice.
void presentCompletion(ResultSink& sink, const MeltState& state, const EquilibriumResult& result);

}  // namespace velkarin
