// SPDX-License-Identifier: Apache-2.0
#pragma once

// Shows the hand-offs of one calculation in the widgets of its window: the
// output boxes, the result list, the system clipboard and a message box for
// the notice where no equilibrium carbon exists in range. A box whose text
// carries a note shows it in the note colour, with the note as tooltip.

#include <QColor>
#include <array>

#include "calc/result_presentation.h"

class QLineEdit;
class QListWidget;
class QWidget;

namespace velkarin {

// Text colour of a box whose text is not the scan's own result (the
// continuous root after a step-over, the side where no root lies).
inline const QColor noteTextColour{0x00, 0x5A, 0xC8};

// The dynamic property of a box that holds its designed text colour (a
// QColor), which every write without a note restores.
inline constexpr char designedTextColourProperty[] = "designedTextColour";

class WidgetResultSink final : public ResultSink {
 public:
  // outputs[q] is the box that shows ResultText q; parent owns the notice box.
  WidgetResultSink(const std::array<QLineEdit*, resultTextCount>& outputs, QListWidget* list, QWidget* parent)
      : outputs_(outputs), list_(list), parent_(parent) {}

  void setOutput(ResultText quantity, const std::string& text, const std::string& note) override;
  void appendResultLine(const std::string& line) override;
  void setClipboard(const std::optional<std::string>& text) override;
  void notify(const std::string& message) override;

 private:
  static void fitText(QLineEdit& edit);

  std::array<QLineEdit*, resultTextCount> outputs_;
  QListWidget* list_;
  QWidget* parent_;
};

}  // namespace velkarin
