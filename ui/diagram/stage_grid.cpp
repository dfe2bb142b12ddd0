// SPDX-License-Identifier: Apache-2.0
#include "ui/diagram/stage_grid.h"

#include <QHeaderView>
#include <QProxyStyle>
#include <QScrollBar>

#include <QFocusEvent>

namespace velkarin {

namespace {

// The window's style with the cells' and headers' side margins narrowed, so
// that the answer columns still fit beside the typed ones while the blow is
// simulated (three typed columns more) on a 1366-pixel screen. The cells are
// sized and drawn with the same margins, so nothing is clipped.
class NarrowCellStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
    if (metric == PM_FocusFrameHMargin) return 0;  // text margin 1 px a side instead of 3
    if (metric == PM_HeaderMargin) return 1;       // the header's text 1 px from each side

    return QProxyStyle::pixelMetric(metric, option, widget);
  }
};

}  // namespace

StageGrid::StageGrid(int columns, int typedColumns, QWidget* parent)
    : QTableWidget(0, columns, parent), typedColumns_(typedColumns) {
  // Columns as narrow as their header and cells (the style's default least
  // width, 40 px, left the short typed columns wider than their contents).
  horizontalHeader()->setMinimumSectionSize(16);
  auto* narrow = new NarrowCellStyle;
  narrow->setParent(this);
  setStyle(narrow);
  horizontalHeader()->setStyle(narrow);
}

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

}  // namespace velkarin
