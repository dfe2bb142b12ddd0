// SPDX-License-Identifier: Apache-2.0
#include "ui/calculator/sub_window_placement.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScrollBar>
#include <algorithm>

namespace velkarin {

void placeSubWindow(const QMdiArea& workspace, QMdiSubWindow& placed) {
  const QRect room(QPoint(0, 0), workspace.viewport()->size());
  QList<QRect> taken;
  for (QMdiSubWindow* other : workspace.subWindowList()) {
    if (other != &placed && !other->isHidden()) taken << other->geometry();
  }
  QList<QPoint> candidates{QPoint(0, 0)};
  for (const QRect& rect : taken)
    candidates << QPoint(rect.right() + 1, rect.top()) << QPoint(rect.left(), rect.bottom() + 1);
  for (const QPoint& at : candidates) {
    const QRect rect(at, placed.size());
    const bool free = std::none_of(taken.begin(), taken.end(), [&](const QRect& t) { return t.intersects(rect); });
    if (free && room.contains(rect)) {
      placed.move(at);
      return;
    }
  }
  constexpr int step = 28;  // px: about a title bar
  const QPoint cascade = taken.isEmpty() ? QPoint(0, 0) : taken.back().topLeft() + QPoint(step, step);
  placed.move(cascade.x() + placed.width() > room.width() || cascade.y() + placed.height() > room.height()
                  ? QPoint(0, 0)
                  : cascade);
}

void keepMoveAndCloseOnly(QMdiSubWindow& subWindow) {
  QMenu* menu = subWindow.systemMenu();
  if (!menu) return;
  for (QAction* action : menu->actions()) {
    const bool keep = !action->isSeparator() &&
                      (action->text() == QMdiSubWindow::tr("&Move") || action->text() == QMdiSubWindow::tr("&Close"));
    if (keep) {
      action->setShortcuts({});
    } else {
      menu->removeAction(action);
    }
  }
}

void scrollIntoView(QMdiArea& workspace, const QWidget& widget) {
  const QWidget* viewport = workspace.viewport();
  if (!viewport->isAncestorOf(&widget)) return;
  // How far to scroll so that [low, high) lies in [0, size): the start wins
  // where both cannot.
  const auto shift = [](int low, int high, int size) {
    if (low < 0) return low;
    if (high > size) return std::min(high - size, low);
    return 0;
  };
  // Twice: a scroll may show or hide the other scroll bar, which changes the
  // viewport's size.
  for (int pass = 0; pass < 2; ++pass) {
    const QRect rect(widget.mapTo(viewport, QPoint(0, 0)), widget.size());
    QScrollBar* across = workspace.horizontalScrollBar();
    QScrollBar* down = workspace.verticalScrollBar();
    across->setValue(across->value() + shift(rect.left(), rect.left() + rect.width(), viewport->width()));
    down->setValue(down->value() + shift(rect.top(), rect.top() + rect.height(), viewport->height()));
  }
}

}  // namespace velkarin
