#pragma once

// Shows the hand-offs of one calculation in the widgets of its window: the
// output boxes, the result list, the system clipboard and a message box for
// the run-out notice.

#include <array>

#include "calc/result_presentation.h"

class QLineEdit;
class QListWidget;
class QWidget;

namespace velkarin {

class WidgetResultSink final : public ResultSink {
 public:
  // outputs[0] is Text1, …, outputs[7] is Text8; parent owns the notice box.
  WidgetResultSink(const std::array<QLineEdit*, 8>& outputs, QListWidget* list, QWidget* parent)
      : outputs_(outputs), list_(list), parent_(parent) {}

  void setOutput(OutputBox box, const std::string& text) override;
  void appendResultLine(const std::string& line) override;
  void setClipboard(const std::optional<std::string>& text) override;
  void notify(const std::string& message) override;

 private:
  std::array<QLineEdit*, 8> outputs_;
  QListWidget* list_;
  QWidget* parent_;
};

}  // namespace velkarin
