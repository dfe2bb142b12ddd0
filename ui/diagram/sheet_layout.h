// SPDX-License-Identifier: Apache-2.0
#pragma once

// The room of the diagram's parts: a button that gives the sheets under the
// chart the whole height (and back), and the splitters' positions kept
// from one run of the program to the next.

#include <QList>
#include <QObject>
#include <QToolButton>
#include <initializer_list>
#include <vector>

class QSplitter;

namespace velkarin {

// 放大 hides the first widget of `splitter` (the chart and the stage table)
// so that the sheets under it get its height; 还原 shows it again with the
// sizes it had. objectName "enlargeSheets".
class SheetEnlarger : public QToolButton {
  Q_OBJECT

 public:
  SheetEnlarger(QSplitter& splitter, QWidget* parent);
  bool enlarged() const { return isChecked(); }

 private:
  void showState(bool enlarged);
  QSplitter& splitter_;
  QList<int> sizes_;  // the splitter's sizes before 放大
};

// Keeps the size of each splitter's last part — the sheets' height, the
// stage table's width — as the user last dragged it (QSettings, group
// "diagram", by the splitter's objectName), whatever the size of the window:
// the first part takes the rest. A splitter never dragged keeps the sizes
// its parts ask for.
class SplitterMemory : public QObject {
  Q_OBJECT

 public:
  SplitterMemory(std::initializer_list<QSplitter*> splitters, QObject* parent);
  // Forgets the kept sizes (the next diagram lays out afresh).
  static void forget();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void apply(QSplitter& splitter) const;
  std::vector<QSplitter*> splitters_;
};

}  // namespace velkarin
