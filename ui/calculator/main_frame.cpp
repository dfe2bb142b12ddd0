// SPDX-License-Identifier: Apache-2.0
#include "ui/calculator/main_frame.h"
#include "ui/common/qt_text.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScopedValueRollback>
#include <QScreen>
#include <QSessionManager>
#include <QShortcut>
#include <QTimer>
#include <algorithm>

#include "calc/equilibrium_curve.h"
#include "ui/calculator/calculation_window.h"
#include "ui/calculator/help_windows.h"
#include "ui/calculator/plan_menu.h"
#include "ui/calculator/sub_window_placement.h"
#include "ui/calculator/window_layout.h"
#include "ui/diagram/equilibrium_diagram_window.h"
#include "ui/diagram/file_drop.h"

namespace velkarin {

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
  // What the keyboard goes to is in sight: a workspace smaller than a
  // calculation window (a high scale factor) scrolls to the focused control.
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    if (now) scrollIntoView(*workspace_, *now);
  });
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
  planMenu_ = new PlanMenu(*this, [this] { return showDiagramWindow(); });
}

bool MainFrame::openPlan(const QString& path) { return showDiagramWindow()->askAndOpenPlan(path); }

void MainFrame::dragEnterEvent(QDragEnterEvent* event) { acceptDroppableFile(*event); }

void MainFrame::dropEvent(QDropEvent* event) {
  const DroppedFile file = takeDroppedFile(*event);
  if (file.kind != DroppedFile::Kind::None) showDiagramWindow()->openDroppedFile(file);
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
  planMenu_->addTo(*chartMenu_);

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
      if (!window) return;
      workspace_->setActiveSubWindow(window);
      scrollIntoView(*workspace_, *window);
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

// "MDIForm1 - 方案.velkarin" while the diagram shows a plan file.
void MainFrame::showPlanTitle(const QString& path) {
  setWindowTitle(path.isEmpty() ? QStringLiteral("MDIForm1")
                                : QStringLiteral("MDIForm1 - %1").arg(QFileInfo(path).fileName()));
}

void MainFrame::start() {
  show();
  showCalculationWindow(Reaction::Cr2O3);
}

CalculationWindow* MainFrame::calculationWindow(Reaction reaction) const {
  const QMdiSubWindow* subWindow = subWindows_[reactionIndex(reaction)];
  return subWindow ? qobject_cast<CalculationWindow*>(subWindow->widget()) : nullptr;
}

// QMdiArea may keep a hidden sub-window active (or activate one when the
// active window is closed); a hidden window is not the one the user works in.
CalculationWindow* MainFrame::activeCalculationWindow() const {
  const QMdiSubWindow* subWindow = workspace_->activeSubWindow();
  return subWindow && !subWindow->isHidden() ? qobject_cast<CalculationWindow*>(subWindow->widget()) : nullptr;
}

CalculationWindow* MainFrame::showCalculationWindow(Reaction reaction) {
  QPointer<QMdiSubWindow>& subWindow = subWindows_[reactionIndex(reaction)];
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
  placeSubWindow(*workspace_, *subWindow);
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
  // The plan opened or saved is the newest of 打开最近的方案 and names the frame.
  connect(diagram, &EquilibriumDiagramWindow::planFileChanged, this, [this](const QString& path) {
    PlanMenu::rememberPlan(path);
    showPlanTitle(path);
  });
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
  placeSubWindow(*workspace_, *subWindow);
  return subWindow;
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
    if (diagramSubWindow_ == watched) {
      diagramSubWindow_ = nullptr;
      showPlanTitle({});
    }
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
