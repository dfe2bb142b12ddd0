// SPDX-License-Identifier: Apache-2.0
#pragma once

// Where the frame's sub-windows go in its workspace, and what of them the
// user sees: a place that covers no other window, a fixed window's system
// menu, and the workspace scrolled to what the keyboard or the 窗口 menu
// goes to.

class QMdiArea;
class QMdiSubWindow;
class QWidget;

namespace velkarin {

// A new sub-window goes where it covers no other visible one, if the
// workspace has such a place: at the top left, else right of or below
// another window; where there is none, a step down and right of the last.
void placeSubWindow(const QMdiArea& workspace, QMdiSubWindow& placed);

// The system menu of a fixed dialog: move and close, without a keyboard
// shortcut (no control of the window has one). The other items of Qt's menu
// (restore, size, minimise, maximise, stay on top) mean nothing for a
// fixed-size window, and its Ctrl+W would discard the window and its results.
void keepMoveAndCloseOnly(QMdiSubWindow& subWindow);

// Scrolls the workspace (where it is smaller than its windows) so that
// `widget`, a sub-window or a control in one, is in sight — whole where the
// viewport is large enough, else its top left.
void scrollIntoView(QMdiArea& workspace, const QWidget& widget);

}  // namespace velkarin
