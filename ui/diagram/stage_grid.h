// SPDX-License-Identifier: Apache-2.0
#pragma once

// The grid of the stage table: the keyboard moves only through the typed
// cells (gas, t, C), Tab leaves the grid after the last typed cell and
// Shift+Tab before the first; computed cells never become current. And the
// edits of the typed cells as undoable commands of a QUndoStack.

#include <QHeaderView>
#include <QTableWidget>
#include <QUndoCommand>
#include <functional>

#include "calc/blow_stage.h"

namespace velkarin {

class StageGrid : public QTableWidget {
  Q_OBJECT

 public:
  // Columns 0 … typedColumns−1 are typed; the last of them may be hidden
  // (the keyboard then skips them).
  StageGrid(int columns, int typedColumns, QWidget* parent = nullptr);
  // As wide as its shown columns, so that the answer columns need no
  // sideways scroll where the window has the room.
  QSize sizeHint() const override;

 protected:
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
  bool focusNextPrevChild(bool next) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  // The typed cell after (or before) `index` in reading order; invalid past the ends.
  QModelIndex typedNeighbour(const QModelIndex& index, bool next) const;
  int shownTyped() const;

  int typedColumns_;
};

// What the commands change: the table's rows, through these functions,
// which do not push commands themselves.
// Column widths follow the contents, but only once a fill is done: sized to
// contents, each cell set would measure its column again (a plan of 2000
// stages then takes minutes to show).
class HeldColumnWidths {
 public:
  explicit HeldColumnWidths(QTableWidget& table) : header_(*table.horizontalHeader()) {
    header_.setSectionResizeMode(QHeaderView::Interactive);
  }
  ~HeldColumnWidths() { header_.setSectionResizeMode(QHeaderView::ResizeToContents); }
  HeldColumnWidths(const HeldColumnWidths&) = delete;
  HeldColumnWidths& operator=(const HeldColumnWidths&) = delete;

 private:
  QHeaderView& header_;
};

struct StageRows {
  std::function<void(int row, const BlowStage& stage)> insert;
  std::function<BlowStage(int row)> remove;  // returns the stage removed
  std::function<void(int from, int to)> swap;
  std::function<void(int row, int column, const QString& text)> setText;
};

// Inserting (or, with insert false, removing) a stage at a row.
class StageRowCommand final : public QUndoCommand {
 public:
  StageRowCommand(const StageRows& rows, int row, BlowStage stage, bool insert);
  void redo() override;
  void undo() override;

 private:
  void apply(bool insert);
  StageRows rows_;
  int row_;
  BlowStage stage_;
  bool insert_;
};

// Moving the stage at `from` one row to `to`.
class StageMoveCommand final : public QUndoCommand {
 public:
  StageMoveCommand(const StageRows& rows, int from, int to);
  void redo() override { rows_.swap(from_, to_); }
  void undo() override { rows_.swap(to_, from_); }

 private:
  StageRows rows_;
  int from_, to_;
};

// A typed cell's text, from `before` to `after`. Pushed once the user's edit
// is in the cell (inCell), its first redo does nothing; otherwise the first
// redo puts `after` there.
class StageCellCommand final : public QUndoCommand {
 public:
  StageCellCommand(const StageRows& rows, int row, int column, QString before, QString after, bool inCell = true);
  void redo() override;
  void undo() override { rows_.setText(row_, column_, before_); }

 private:
  StageRows rows_;
  int row_, column_;
  QString before_, after_;
  bool applied_ = true;
};

}  // namespace velkarin
