// SPDX-License-Identifier: Apache-2.0
#pragma once

// The blow stages beside the equilibrium chart: an editable table of stages
// (gas ratio or CO pressure, bath temperature °C, measured %C, O2 Nm³, and
// for the blow simulation lime and scrap kg and the inert gas), the columns
// the window computes for each (p_CO, both equilibrium carbons, the governing
// oxide, the margin), the target carbon, and the buttons and keys that edit
// the table, solve a stage for the target and export the table.
//
// Keys on the table: Insert adds a stage below the current one, Shift+Delete
// removes it, Delete empties the selected typed cells (both when no cell is
// being edited), Ctrl+Up and Ctrl+Down move it,
// Ctrl+C copies the whole table as tab-separated text.
//
// Controls: stages (the table), addStage, removeStage, moveStageUp,
// moveStageDown, target, solveTemperature, solveRatio, copyStages,
// saveStages, stageSolution.

#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "calc/blow_stage.h"
#include "ui/diagram/stage_grid.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QUndoStack;

namespace velkarin {
class PlanDocument;
}

namespace velkarin {

class StageTable : public QWidget {
  Q_OBJECT

 public:
  // The columns of the table; the first seven are typed (O2 in Nm³, empty:
  // from η; lime and scrap kg added at the stage's start and the inert gas,
  // shown only while the blow is simulated), the rest computed.
  enum Column {
    Gas,
    Temperature,
    Measured,
    Oxygen,
    Lime,
    Scrap,
    Inert,
    Pressure,
    Cr2O3Carbon,
    Cr3O4Carbon,
    Governing,
    Margin,
    ColumnCount
  };
  static constexpr int lastTyped = Inert;

  // A view of the document's stages and target: edits go to the document,
  // and the table follows the document's changes (also undo and redo).
  explicit StageTable(PlanDocument& document, QWidget* parent = nullptr);

  const std::vector<BlowStage>& stages() const;
  // The target carbon, mass %: nothing when the entry is empty; the reading's
  // problem otherwise when it is not a positive number.
  std::optional<double> target() const;
  QString targetProblem() const;
  // The row of the current cell, or nothing when the table is empty.
  std::optional<std::size_t> currentStage() const;

  // Fills the computed columns from the results (one per stage) and marks
  // the first stage at or below the target.
  void showResults(const std::vector<StageResult>& results, std::optional<std::size_t> firstAtTarget);
  void showSolution(const QString& text);

  QTableWidget* table() const { return table_; }
  // The document's undo history: the stages' edits among the plan's
  // (Ctrl+Z, Ctrl+Shift+Z or Ctrl+Y anywhere in the diagram).
  QUndoStack* undoStack() const;
  // Ctrl+V: rows of a spreadsheet (tab-separated gas, t, C[, O2]; a header
  // row naming the columns, and this table's own copy, are recognised)
  // inserted after the current stage as one undoable step; a text without
  // tab or line end goes into the current typed cell. Returns the rows added.
  int pasteStages(const QString& text);

  // The conditions the computed columns stand for ("#A,739938" rows that
  // precede the saved CSV's header, for velkarin-curve --stages).
  using Conditions = std::vector<std::pair<std::string, std::string>>;
  void setConditionSource(std::function<Conditions()> source) { conditions_ = std::move(source); }

  // Shows or hides the simulation's typed columns (石灰, 废钢, 惰性气体).
  void showSimulationColumns(bool shown);
  // Puts texts into one typed column of the first rows as one undoable step
  // named `name`; a row whose text is the same is left alone.
  void setColumnTexts(int column, const std::vector<QString>& texts, const QString& name);

  // Adds a stage at `row` (the end when past it) with the given texts.
  void insertStage(int row, const BlowStage& stage);
  void removeCurrentStage();
  // Empties the selected typed cells (Delete), as one undoable step.
  void clearSelectedCells();
  void moveCurrentStage(int by);  // −1 up, +1 down

  // The stage table (core stageTable of the last results) as text.
  QString tsv() const;
  void copyTable() const;
  // Writes the table as CSV (UTF-8 with a byte order mark, header row);
  // returns the reason when it cannot.
  std::optional<QString> writeCsv(const QString& path) const;

 signals:
  void stagesChanged();     // the rows shown followed the document: a cell, a row added, removed or moved, the target
  void solveTemperature();  // solve the current stage for the temperature
  void solveRatio();        // solve the current stage for the gas ratio

 private:
  void createTable();
  void createControls();
  void createKeys();
  QPushButton* addButton(const char* name, const QString& text, const QString& tip,
                         const std::function<void()>& action);
  void addStageAfterCurrent();
  void askAndSave();
  QByteArray csvBytes() const;  // the conditions and the table as CSV, UTF-8 with a byte order mark
  void setComputed(int row, int column, const QString& text);
  void followDocument();
  void showAllStages();
  void putStage(int row, const BlowStage& stage);
  void showStageText(int row, int column);
  void swapStages(int from, int to);

  QTableWidget* table_ = nullptr;
  QLineEdit* target_ = nullptr;
  QLabel* solution_ = nullptr;
  std::vector<StageResult> results_;
  PlanDocument& document_;
  std::function<Conditions()> conditions_;
  bool filling_ = false;  // cells are written from the document or the results: no edit
};

}  // namespace velkarin
