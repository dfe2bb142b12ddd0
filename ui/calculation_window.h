#pragma once

// One calculation window (Form1 for Cr2O3, Form2 for Cr3O4): the widget that
// MainFrame puts into a QMdiSubWindow. Its controls come from the window's
// layout table; Command1 hands the drop-down texts, a dialog prompt source and
// a widget result sink to the core's runCalculation and shows what it gets
// back. The widget itself does no arithmetic.
//
// The widget carries the objectName "Form1"/"Form2"; its QMdiSubWindow has
// no name of its own.

#include <QWidget>
#include <array>
#include <optional>

#include "calc/records.h"
#include "ui/window_layout.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace velkarin {

class CalculationWindow : public QWidget {
  Q_OBJECT

 public:
  explicit CalculationWindow(Reaction reaction, QWidget* parent = nullptr);

  Reaction reaction() const { return layout_.reaction; }
  // The current texts of Combo1 (A) and Combo2 (B), as the user sees them.
  ReactionConstants constants() const;
  // The melt state of the last calculation that completed in this window.
  const std::optional<MeltState>& lastCompletedState() const { return lastCompletedState_; }

  // Command1: asks the seven prompts and shows the results.
  void calculate();

 signals:
  // After each calculation that ran to its end (run-outs included).
  void calculationCompleted();

 private:
  void createControls();
  void applyTabOrder();
  QWidget* createControl(const ControlRow& row);
  QPushButton* createButton(const QString& text, void (CalculationWindow::*action)());
  void hideWindow();
  void clearList();

  const WindowLayout& layout_;
  QComboBox* constantA_ = nullptr;       // Combo1, J/mol
  QComboBox* constantB_ = nullptr;       // Combo2, J/(mol·K)
  std::array<QLineEdit*, 8> outputs_{};  // Text1 … Text8
  QListWidget* resultList_ = nullptr;    // List1
  QPushButton* calculateButton_ = nullptr;
  std::optional<MeltState> lastCompletedState_;
};

}  // namespace velkarin
