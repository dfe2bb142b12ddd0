// SPDX-License-Identifier: Apache-2.0
#include "ui/diagram/stage_grid.h"

#include <QHeaderView>
#include <QScrollBar>

#include <QFocusEvent>

namespace velkarin {

StageGrid::StageGrid(int columns, int typedColumns, QWidget* parent)
    : QTableWidget(0, columns, parent), typedColumns_(typedColumns) {}

// The typed columns shown: the last typed ones may be hidden.
int StageGrid::shownTyped() const {
  int shown = typedColumns_;
  while (shown > 1 && isColumnHidden(shown - 1)) --shown;
  return shown;
}

QModelIndex StageGrid::typedNeighbour(const QModelIndex& index, bool next) const {
  const int typed = shownTyped();
  int row = index.isValid() ? index.row() : 0;
  int column = index.isValid() ? index.column() : (next ? -1 : typed);
  column += next ? 1 : -1;
  if (column >= typed) {
    column = 0;
    ++row;
  } else if (column < 0) {
    column = typed - 1;
    --row;
  }
  if (row < 0 || row >= rowCount()) return {};
  return model()->index(row, column);
}

// Tab and Shift+Tab (and an editor's Tab) go through the typed cells only;
// the arrows never stop on a computed cell.
QSize StageGrid::sizeHint() const {
  int width = 2 * frameWidth() + verticalHeader()->sizeHint().width() + verticalScrollBar()->sizeHint().width();
  for (int column = 0; column < columnCount(); ++column) {
    if (!isColumnHidden(column)) width += horizontalHeader()->sectionSize(column);
  }
  return {width, QTableWidget::sizeHint().height()};
}

QModelIndex StageGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  const QModelIndex current = currentIndex();
  if (action == MoveNext || action == MovePrevious) return typedNeighbour(current, action == MoveNext);
  const QModelIndex moved = QTableWidget::moveCursor(action, modifiers);
  if (moved.isValid() && moved.column() >= shownTyped()) {
    return model()->index(moved.row(), std::min(current.isValid() ? current.column() : 0, shownTyped() - 1));
  }
  return moved;
}

// Past the last typed cell Tab leaves the grid (and before the first,
// Shift+Tab), as it leaves any other control; an empty grid is passed at once.
bool StageGrid::focusNextPrevChild(bool next) {
  const QModelIndex to = typedNeighbour(currentIndex(), next);
  if (!to.isValid() || rowCount() == 0) return QWidget::focusNextPrevChild(next);
  setCurrentIndex(to);
  return true;
}

// Entering by Tab starts at the first typed cell, by Shift+Tab at the last.
void StageGrid::focusInEvent(QFocusEvent* event) {
  QTableWidget::focusInEvent(event);
  if (rowCount() == 0) return;
  if (event->reason() == Qt::TabFocusReason) setCurrentCell(0, 0);
  if (event->reason() == Qt::BacktabFocusReason) setCurrentCell(rowCount() - 1, shownTyped() - 1);
}

StageRowCommand::StageRowCommand(const StageRows& rows, int row, BlowStage stage, bool insert)
    : rows_(rows), row_(row), stage_(std::move(stage)), insert_(insert) {
  setText(insert ? QStringLiteral("添加阶段") : QStringLiteral("删除阶段"));
}

void StageRowCommand::apply(bool insert) {
  if (insert) {
    rows_.insert(row_, stage_);
  } else {
    stage_ = rows_.remove(row_);
  }
}

void StageRowCommand::redo() { apply(insert_); }
void StageRowCommand::undo() { apply(!insert_); }

StageMoveCommand::StageMoveCommand(const StageRows& rows, int from, int to) : rows_(rows), from_(from), to_(to) {
  setText(QStringLiteral("移动阶段"));
}

StageCellCommand::StageCellCommand(const StageRows& rows, int row, int column, QString before, QString after,
                                   bool inCell)
    : rows_(rows), row_(row), column_(column), before_(std::move(before)), after_(std::move(after)), applied_(inCell) {
  setText(QStringLiteral("编辑阶段"));
}

void StageCellCommand::redo() {
  if (applied_) {
    applied_ = false;  // the user's own edit put it there
    return;
  }
  rows_.setText(row_, column_, after_);
}

}  // namespace velkarin
