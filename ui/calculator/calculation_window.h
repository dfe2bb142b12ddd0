// SPDX-License-Identifier: Apache-2.0
#pragma once

// One calculation window (Form1 for Cr2O3, Form2 for Cr3O4): the widget that
// MainFrame puts into a QMdiSubWindow. Its controls come from the window's
// layout table. Command1 reads the drop-down texts, asks the seven prompts,
// then runs the core's computeEquilibrium on a worker thread; when it is done,
// the core's presenter shows the outcome through a widget result sink. A
// calculation that takes longer than 0.2 s shows a progress dialog whose
// 取消 discards it, leaving the window as it was. The widget itself does no
// arithmetic.
//
// The widget carries the objectName "Form1"/"Form2"; its QMdiSubWindow has
// no name of its own.

#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "calc/calculation.h"
#include "calc/calculation_outcome.h"
#include "calc/records.h"
#include "ui/calculator/window_layout.h"

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
  // The melt state of the last calculation that completed in this window
  // since the list was last cleared (each heat is held once, in completedStates).
  std::optional<MeltState> lastCompletedState() const {
    if (completedStates_.empty()) return std::nullopt;
    return completedStates_.back();
  }
  // The melt states of the calculations completed since the list was last
  // cleared, in the order they were made: the window's heat path.
  const std::vector<MeltState>& completedStates() const { return completedStates_; }

  // Command1: asks the seven prompts, computes, shows the results. Returns
  // once the prompts are answered; the results follow when the worker is done.
  void calculate();
  // A calculation's computation is under way (its prompts answered, its
  // results not yet shown or discarded).
  bool isCalculating() const { return running_ != 0; }

  // The computation a calculation runs on the worker; computeEquilibrium
  // unless a test puts a slow one in its place.
  using Compute = std::function<CalculationOutcome(Reaction, const ReactionConstants&, const MeltState&)>;
  void setComputeForTesting(Compute compute) { compute_ = std::move(compute); }

 signals:
  // After each calculation that ran to its end (those without an equilibrium carbon included).
  void calculationCompleted();
  // After a completed calculation and after Clear list: completedStates() changed.
  void heatsChanged();
  // The text of Combo1 or Combo2 changed (picked or typed).
  void constantsEdited();
  // After each calculation whose computation started, once its results are
  // shown or it was cancelled.
  void calculationEnded();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void createControls();
  void applyTabOrder();
  QWidget* createControl(const ControlRow& row);
  QPushButton* createButton(const QString& text, void (CalculationWindow::*action)());
  void hideWindow();
  void clearList();
  void createListMenu();
  void copyAllLines();
  void saveLines();
  QStringList lines() const;
  void startComputation(const CalculationRequest& request);
  void showOutcome(const CalculationOutcome& outcome);

  const WindowLayout& layout_;
  QComboBox* constantA_ = nullptr;                     // Combo1, J/mol
  QComboBox* constantB_ = nullptr;                     // Combo2, J/(mol·K)
  std::array<QLineEdit*, resultTextCount> outputs_{};  // the box of each ResultText
  QListWidget* resultList_ = nullptr;                  // List1
  QPushButton* calculateButton_ = nullptr;
  std::vector<MeltState> completedStates_;
  Compute compute_;
  unsigned running_ = 0;  // number of the computation under way; 0: none
  unsigned started_ = 0;  // computations started so far
};

}  // namespace velkarin
