// SPDX-License-Identifier: Apache-2.0
#include "ui/calculator/main_frame.h"
#include "ui/common/qt_text.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFileDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QScreen>
#include <QSessionManager>
#include <QShortcut>
#include <QTimer>
#include <QUrl>
#include <algorithm>

#include "calc/equilibrium_curve.h"
#include "ui/calculator/calculation_window.h"
#include "ui/calculator/help_windows.h"
#include "ui/calculator/window_layout.h"
#include "ui/diagram/equilibrium_diagram_window.h"
#include "ui/diagram/plan_report.h"

namespace velkarin {

static std::size_t slotOf(Reaction reaction) { return reaction == Reaction::Cr2O3 ? 0 : 1; }
static Reaction reactionOfSlot(std::size_t slot) { return slot == 0 ? Reaction::Cr2O3 : Reaction::Cr3O4; }

// Outer size of a new diagram sub-window, px: room for the controls, a chart
// and its legend; smaller when the workspace is.
static constexpr QSize diagramSubWindowSize(1200, 640);

MainFrame::MainFrame(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("MDIForm1"));
  setAcceptDrops(true);  // a plan file dropped anywhere on the frame opens
  setWindowTitle(QStringLiteral("MDIForm1"));
  createActions();
  createWorkspace();
  createMenus();
}

void MainFrame::createActions() {
  showForm1Action_ = new QAction(QStringLiteral("产物为Cr2O3的脱碳计算"), this);
  showForm1Action_->setObjectName(QStringLiteral("脱碳计算1"));
  connect(showForm1Action_, &QAction::triggered, this, [this] { showCalculationWindow(Reaction::Cr2O3); });

  showForm2Action_ = new QAction(QStringLiteral("产物为Cr3O4的脱碳计算"), this);
  showForm2Action_->setObjectName(QStringLiteral("脱碳计算2"));
  connect(showForm2Action_, &QAction::triggered, this, [this] { showCalculationWindow(Reaction::Cr3O4); });

  // Ends the program: the frame is its only top-level window, and closing it
  // closes the calculation windows (hidden ones too) without a question.
  exitAction_ = new QAction(QStringLiteral("退出"), this);
  exitAction_->setObjectName(QStringLiteral("退出"));
  connect(exitAction_, &QAction::triggered, this, &QWidget::close);
  // Ctrl+Q as on other desktop programs; the menu item itself shows no shortcut.
  auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
  connect(quit, &QShortcut::activated, this, &QWidget::close);
  // Logging out of the desktop asks for a changed plan as closing does; a
  // session that may not ask is held back rather than losing the plan.
  connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
    EquilibriumDiagramWindow* diagram = diagramWindow();
    if (!diagram || !diagram->isWindowModified()) return;
    if (!manager.allowsInteraction()) {
      manager.cancel();
      return;
    }
    const bool mayEnd = diagram->mayClose();
    manager.release();
    if (!mayEnd) manager.cancel();
  });

  showDiagramAction_ = new QAction(QStringLiteral("平衡曲线图"), this);
  showDiagramAction_->setObjectName(QStringLiteral("平衡曲线图"));
  connect(showDiagramAction_, &QAction::triggered, this, &MainFrame::showDiagramWindow);
  createPlanActions();
}

// The plan actions work on the diagram, opening it where it is absent.
void MainFrame::createPlanActions() {
  const auto action = [this](const char* name, const QString& text, QKeySequence keys, auto run) {
    auto* created = new QAction(text, this);
    created->setObjectName(QString::fromUtf8(name));
    created->setShortcut(keys);
    created->setShortcutContext(Qt::WindowShortcut);
    connect(created, &QAction::triggered, this, run);
    return created;
  };
  openPlanAction_ = action("打开方案", QStringLiteral("打开方案…"), QKeySequence::Open, [this] { askAndOpenPlan(); });
  savePlanAction_ =
      action("保存方案", QStringLiteral("保存方案"), QKeySequence::Save, [this] { showDiagramWindow()->savePlan(); });
  savePlanAsAction_ = action("方案另存为", QStringLiteral("方案另存为…"), QKeySequence(),
                             [this] { showDiagramWindow()->savePlanAs(); });
  reportAction_ = action("导出报告", QStringLiteral("导出报告(PDF)…"), QKeySequence(),
                         [this] { askAndExportReport(*showDiagramWindow()); });
  importHeatsAction_ = action("导入炉次数据", QStringLiteral("导入炉次数据…"), QKeySequence(), [this] {
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("导入炉次数据"), QString(),
                                                      QStringLiteral("CSV 文件 (*.csv);;所有文件 (*)"));
    if (!path.isEmpty()) showDiagramWindow()->askAndImportHeats(path);
  });
  importHeatLogAction_ = action("导入炉次记录", QStringLiteral("导入炉次记录…"), QKeySequence(), [this] {
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("导入炉次记录"), QString(),
                                                      QStringLiteral("CSV 文件 (*.csv);;所有文件 (*)"));
    if (!path.isEmpty()) showDiagramWindow()->askAndImportHeatLog(path);
  });
  printAction_ =
      action("打印", QStringLiteral("打印…"), QKeySequence::Print, [this] { printPlanReport(*showDiagramWindow()); });
}

void MainFrame::askAndOpenPlan() {
  const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("打开方案"), QString(),
                                                    QStringLiteral("Velkarin 方案 (*.velkarin);;所有文件 (*)"));
  if (!path.isEmpty()) openPlan(path);
}

bool MainFrame::openPlan(const QString& path) {
  EquilibriumDiagramWindow* diagram = showDiagramWindow();
  if (!diagram->mayReplace()) return false;
  if (const std::optional<QString> error = diagram->openPlanFile(path)) {
    QMessageBox::critical(this, QStringLiteral("打开方案"),
                          QStringLiteral("无法打开方案“%1”：%2").arg(QDir::toNativeSeparators(path), *error));
    return false;
  }
  return true;
}

// The first local file of a drop that the program opens: a plan or a CSV of heats.
static QString droppedFile(const QMimeData* mime) {
  if (!mime || !mime->hasUrls()) return {};
  for (const QUrl& url : mime->urls()) {
    const QString path = url.isLocalFile() ? url.toLocalFile() : QString();
    if (path.endsWith(QStringLiteral(".velkarin"), Qt::CaseInsensitive) ||
        path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) {
      return path;
    }
  }
  return {};
}

void MainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (!droppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

// A dropped plan opens in the diagram, a dropped CSV's heats are imported
// into it; of several files, the first.
void MainFrame::dropEvent(QDropEvent* event) {
  const QString path = droppedFile(event->mimeData());
  if (path.isEmpty()) return;
  event->acceptProposedAction();
  if (path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) {
    // Not inside the drag's own event loop: the import shows a progress dialog.
    QTimer::singleShot(0, this, [this, path] { showDiagramWindow()->askAndImportHeats(path); });
    return;
  }
  openPlan(path);
}

void MainFrame::createMenus() {
  fileMenu_ = menuBar()->addMenu(QStringLiteral("文件"));
  fileMenu_->setObjectName(QStringLiteral("文件"));
  fileMenu_->addAction(showForm1Action_);
  fileMenu_->addAction(showForm2Action_);
  fileMenu_->addAction(exitAction_);

  chartMenu_ = menuBar()->addMenu(QStringLiteral("图表"));
  chartMenu_->setObjectName(QStringLiteral("图表"));
  chartMenu_->addAction(showDiagramAction_);
  chartMenu_->addSeparator();
  chartMenu_->addAction(openPlanAction_);
  chartMenu_->addAction(savePlanAction_);
  chartMenu_->addAction(savePlanAsAction_);
  chartMenu_->addSeparator();
  chartMenu_->addAction(reportAction_);
  chartMenu_->addAction(printAction_);
  chartMenu_->addSeparator();
  chartMenu_->addAction(importHeatsAction_);
  chartMenu_->addAction(importHeatLogAction_);

  createWindowMenu();
  createHelpMenu();

  // F10 opens the first menu, as on GNOME and KDE (Alt alone does too).
  auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
  f10->setContext(Qt::ApplicationShortcut);
  connect(f10, &QShortcut::activated, this, [this] {
    menuBar()->setFocus(Qt::ShortcutFocusReason);
    menuBar()->setActiveAction(fileMenu_->menuAction());
  });
}

// 窗口: cascade, tile, and the open windows by name; the active one ticked.
void MainFrame::createWindowMenu() {
  windowMenu_ = menuBar()->addMenu(QStringLiteral("窗口"));
  windowMenu_->setObjectName(QStringLiteral("窗口"));
  connect(windowMenu_, &QMenu::aboutToShow, this, &MainFrame::fillWindowMenu);
  fillWindowMenu();
}

void MainFrame::fillWindowMenu() {
  windowMenu_->clear();
  QAction* cascade = windowMenu_->addAction(QStringLiteral("层叠"), workspace_, &QMdiArea::cascadeSubWindows);
  cascade->setObjectName(QStringLiteral("层叠"));
  QAction* tile = windowMenu_->addAction(QStringLiteral("平铺"), workspace_, &QMdiArea::tileSubWindows);
  tile->setObjectName(QStringLiteral("平铺"));
  const QList<QMdiSubWindow*> windows = workspace_->subWindowList();
  bool any = false;
  for (QMdiSubWindow* window : windows) {
    if (window->isHidden()) continue;  // Exit hid it: 文件 shows it again
    if (!any) windowMenu_->addSeparator();
    any = true;
    // Both calculation windows are titled "Velkarin": the menu names them
    // as 文件 does.
    QString name = window->widget()->windowTitle().remove(QStringLiteral("[*]"));
    if (const auto* calculation = qobject_cast<const CalculationWindow*>(window->widget())) {
      name = (calculation->reaction() == Reaction::Cr2O3 ? showForm1Action_ : showForm2Action_)->text();
    }
    QAction* entry = windowMenu_->addAction(name);
    entry->setCheckable(true);
    entry->setChecked(window == workspace_->activeSubWindow());
    connect(entry, &QAction::triggered, this, [this, window = QPointer<QMdiSubWindow>(window)] {
      if (window) workspace_->setActiveSubWindow(window);
    });
  }
  cascade->setEnabled(any);
  tile->setEnabled(any);
}

// 帮助: the user's guide and the program's About.
void MainFrame::createHelpMenu() {
  helpMenu_ = menuBar()->addMenu(QStringLiteral("帮助"));
  helpMenu_->setObjectName(QStringLiteral("帮助"));
  QAction* guide = helpMenu_->addAction(QStringLiteral("使用说明"), this, [this] { showUserGuide(this); });
  guide->setObjectName(QStringLiteral("使用说明"));
  guide->setShortcut(QKeySequence::HelpContents);
  QAction* about = helpMenu_->addAction(QStringLiteral("关于 Velkarin"), this, [this] { showAbout(this); });
  about->setObjectName(QStringLiteral("关于"));
}

void MainFrame::createWorkspace() {
  workspace_ = new QMdiArea(this);
  workspace_->setObjectName(QStringLiteral("workspace"));
  // The parts of a calculation window beyond a small frame stay reachable.
  workspace_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  workspace_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(workspace_);
}

void MainFrame::start() {
  show();
  showCalculationWindow(Reaction::Cr2O3);
}

CalculationWindow* MainFrame::calculationWindow(Reaction reaction) const {
  const QMdiSubWindow* subWindow = subWindows_[slotOf(reaction)];
  return subWindow ? qobject_cast<CalculationWindow*>(subWindow->widget()) : nullptr;
}

// QMdiArea may keep a hidden sub-window active (or activate one when the
// active window is closed); a hidden window is not the one the user works in.
CalculationWindow* MainFrame::activeCalculationWindow() const {
  const QMdiSubWindow* subWindow = workspace_->activeSubWindow();
  return subWindow && !subWindow->isHidden() ? qobject_cast<CalculationWindow*>(subWindow->widget()) : nullptr;
}

CalculationWindow* MainFrame::showCalculationWindow(Reaction reaction) {
  QPointer<QMdiSubWindow>& subWindow = subWindows_[slotOf(reaction)];
  if (!subWindow) subWindow = createSubWindow(reaction);
  subWindow->show();
  subWindow->raise();
  workspace_->setActiveSubWindow(subWindow);
  return qobject_cast<CalculationWindow*>(subWindow->widget());
}

QMdiSubWindow* MainFrame::createSubWindow(Reaction reaction) {
  // The window has its fixed size before it is added, so the sub-window
  // takes its size from it.
  auto* window = new CalculationWindow(reaction);
  // A title bar with a close button only: no minimise, maximise or resize.
  const Qt::WindowFlags flags =
      Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint;
  QMdiSubWindow* subWindow = workspace_->addSubWindow(window, flags);
  subWindow->setAttribute(Qt::WA_DeleteOnClose);  // the title-bar close discards the window
  subWindow->installEventFilter(this);
  subWindow->setOption(QMdiSubWindow::RubberBandResize, false);
  keepMoveAndCloseOnly(*subWindow);
  subWindow->adjustSize();
  subWindow->setFixedSize(subWindow->size());
  if (!fitted_) fitToSubWindow(*subWindow);
  placeSubWindow(*subWindow);
  connect(window, &CalculationWindow::heatsChanged, this, [this, reaction] { passHeatToDiagram(reaction); });
  connect(window, &CalculationWindow::constantsEdited, this, [this, reaction] {
    if (EquilibriumDiagramWindow* diagram = diagramWindow()) diagram->windowConstantsChanged(reaction);
  });
  return subWindow;
}

EquilibriumDiagramWindow* MainFrame::diagramWindow() const {
  return diagramSubWindow_ ? qobject_cast<EquilibriumDiagramWindow*>(diagramSubWindow_->widget()) : nullptr;
}

EquilibriumDiagramWindow* MainFrame::showDiagramWindow() {
  if (!diagramSubWindow_) diagramSubWindow_ = createDiagramSubWindow();
  diagramSubWindow_->show();
  diagramSubWindow_->raise();
  workspace_->setActiveSubWindow(diagramSubWindow_);
  return diagramWindow();
}

QMdiSubWindow* MainFrame::createDiagramSubWindow() {
  const CalculationWindow* from = activeCalculationWindow();
  if (!from) from = calculationWindow(Reaction::Cr2O3);
  DiagramStart start;
  if (from) {
    start.reaction = from->reaction();
    start.constants = from->constants();
    if (from->lastCompletedState()) start.composition = compositionOf(*from->lastCompletedState());
    start.source = from->objectName();
  }
  start.windowConstants = [this](Reaction reaction) -> std::optional<ReactionConstants> {
    const CalculationWindow* window = calculationWindow(reaction);
    if (!window) return std::nullopt;
    return window->constants();
  };
  auto* diagram = new EquilibriumDiagramWindow(start);
  for (Reaction reaction : {Reaction::Cr2O3, Reaction::Cr3O4}) {
    if (const CalculationWindow* window = calculationWindow(reaction)) {
      diagram->setHeatPath(reaction, window->completedStates());
    }
  }
  // A chart: resizable, with the usual title-bar buttons.
  QMdiSubWindow* subWindow = workspace_->addSubWindow(diagram);
  subWindow->setAttribute(Qt::WA_DeleteOnClose);  // the title-bar close discards the diagram
  subWindow->installEventFilter(this);
  // As large as designed where the workspace has room, never below what the
  // diagram needs to show its chart whole (the workspace scrolls then).
  subWindow->resize(
      diagramSubWindowSize.boundedTo(workspace_->viewport()->size()).expandedTo(subWindow->minimumSizeHint()));
  placeSubWindow(*subWindow);
  return subWindow;
}

// A new sub-window goes where it covers no other visible one, if the
// workspace has such a place: at the top left, else right of or below
// another window; where there is none, a step down and right of the last.
void MainFrame::placeSubWindow(QMdiSubWindow& placed) {
  const QRect room(QPoint(0, 0), workspace_->viewport()->size());
  QList<QRect> taken;
  for (QMdiSubWindow* other : workspace_->subWindowList()) {
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

// The system menu of a fixed dialog: move and close, without a keyboard
// shortcut (no control of the window has one). The other items of Qt's menu
// (restore, size, minimise, maximise, stay on top) mean nothing for a
// fixed-size window, and its Ctrl+W would discard the window and its results.
void MainFrame::keepMoveAndCloseOnly(QMdiSubWindow& subWindow) {
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

// A hidden window takes no keystroke: focus leaves it, and the most recently
// active visible sub-window becomes the active one (none when all are hidden).
// Never from within its own hand-over: activating another sub-window of a
// workspace whose windows are maximised hides and shows windows in turn, and
// each hide would otherwise start a hand-over of its own without end.
void MainFrame::leaveHiddenSubWindow(QMdiSubWindow& hidden) {
  QWidget* focus = QApplication::focusWidget();
  if (focus && hidden.isAncestorOf(focus)) focus->clearFocus();
  if (handingOver_) return;
  const QScopedValueRollback<bool> handing(handingOver_, true);
  const QList<QMdiSubWindow*> windows = workspace_->subWindowList(QMdiArea::ActivationHistoryOrder);
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
    if (*it != &hidden && !(*it)->isHidden()) {
      workspace_->setActiveSubWindow(*it);
      return;
    }
  }
  workspace_->setActiveSubWindow(nullptr);
  workspace_->setFocus();
}

// The diagram follows the completed calculations of each window; a
// discarded window has none.
void MainFrame::passHeatToDiagram(Reaction reaction) {
  EquilibriumDiagramWindow* diagram = diagramWindow();
  if (!diagram) return;
  const CalculationWindow* window = calculationWindow(reaction);
  diagram->setHeatPath(reaction, window ? window->completedStates() : std::vector<MeltState>());
}

// A closed sub-window is deleted only later, from the event loop; it counts
// as absent from its close on, so a Show right after it creates a fresh one.
bool MainFrame::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Hide) {
    for (const QPointer<QMdiSubWindow>& subWindow : subWindows_) {
      if (subWindow == watched) leaveHiddenSubWindow(*subWindow);
    }
  }
  if (event->type() == QEvent::Close && diagramSubWindow_ == watched && diagramWindow() &&
      !diagramWindow()->mayClose()) {
    event->ignore();  // the user kept the changed diagram
    return true;
  }
  if (event->type() == QEvent::Close && diagramSubWindow_ == watched && diagramSubWindow_->isMaximized()) {
    // Restored before it goes: the workspace would otherwise maximise the
    // next window it activates, and a calculation window has a fixed size.
    diagramSubWindow_->showNormal();
  }
  if (event->type() == QEvent::Close) {
    for (std::size_t slot = 0; slot < subWindows_.size(); ++slot) {
      if (subWindows_[slot] != watched) continue;
      subWindows_[slot] = nullptr;
      passHeatToDiagram(reactionOfSlot(slot));
    }
    if (diagramSubWindow_ == watched) diagramSubWindow_ = nullptr;
  }
  return QMainWindow::eventFilter(watched, event);
}

// Every way out of the program (退出, the frame's close button, Ctrl+Q, the
// desktop's logout) passes here: a changed plan is asked about first, and
// 取消 keeps the program running. The question is asked once: the diagram
// remembers the answer when its own window then closes.
void MainFrame::closeEvent(QCloseEvent* event) {
  if (EquilibriumDiagramWindow* diagram = diagramWindow(); diagram && !diagram->mayClose()) {
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

// Sizes the frame so that the larger calculation window fits whole in the
// workspace, within the screen's available area; on a smaller screen the
// workspace scrolls.
void MainFrame::fitToSubWindow(const QMdiSubWindow& subWindow) {
  fitted_ = true;
  const QSize decoration = subWindow.size() - subWindow.widget()->size();
  QSize client;
  for (Reaction reaction : {Reaction::Cr2O3, Reaction::Cr3O4}) {
    const WindowLayout& layout = windowLayout(reaction);
    client = client.expandedTo(QSize(layout.clientWidth, layout.clientHeight) + decoration);
  }
  const int workspaceFrame = 2 * workspace_->frameWidth();
  const QSize wanted(client.width() + workspaceFrame,
                     client.height() + workspaceFrame + menuBar()->sizeHint().height());
  const QScreen* screen = this->screen();
  const QRect available = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), wanted);
  const QSize windowDecoration = frameGeometry().size() - geometry().size();
  resize(wanted.boundedTo(available.size() - windowDecoration));
  if (!available.contains(frameGeometry())) move(available.topLeft());
}

}  // namespace velkarin
