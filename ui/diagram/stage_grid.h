// SPDX-License-Identifier: Apache-2.0
#pragma once

// The grid of the stage table: the keyboard moves only through the typed
// cells (gas, t, C), Tab leaves the grid after the last typed cell and
// Shift+Tab before the first; computed cells never become current.

#include <QHeaderView>
#include <QTableWidget>
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

}  // namespace velkarin
