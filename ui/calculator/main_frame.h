// SPDX-License-Identifier: Apache-2.0
#pragma once

// The frame window MDIForm1: a menu bar with 文件 → 脱碳计算1, 脱碳计算2, 退出,
// 图表 → 平衡曲线图, 打开方案…, 保存方案, 方案另存为…, 导出报告(PDF)…, 打印…, 导入炉次数据…, 窗口 (层叠, 平铺, the open
// windows) and 帮助 (使用说明, 关于 Velkarin), and a workspace holding at most one Form1, one Form2 and one equilibrium
// diagram. Show creates a window that is absent, shows one that was hidden with its contents kept, and in every case
// brings it to the front and activates it. Closing a window through its title bar discards it.
//
// A new diagram starts from the calculation window active when it is opened
// (Form1 when none is): its reaction, its A and B texts and the composition of
// its last completed calculation. The frame passes every completed
// calculation, and the discarding of a calculation window, on to the diagram.

#include <QMainWindow>
#include <QPointer>
#include <array>

#include "calc/records.h"

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace velkarin {

class CalculationWindow;
class EquilibriumDiagramWindow;
class PlanMenu;

class MainFrame : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainFrame(QWidget* parent = nullptr);

  // Start-up: shows the frame, then Form1 inside it.
  void start();

  // The Show operation of a calculation window; returns the window.
  CalculationWindow* showCalculationWindow(Reaction reaction);
  // The existing (shown or hidden) window of a reaction, or nullptr.
  CalculationWindow* calculationWindow(Reaction reaction) const;
  // The calculation window the user works in, or nullptr.
  CalculationWindow* activeCalculationWindow() const;

  // The Show operation of the equilibrium diagram; returns the window.
  EquilibriumDiagramWindow* showDiagramWindow();
  // The existing diagram, or nullptr.
  EquilibriumDiagramWindow* diagramWindow() const;

  // The program's argument: shows the plan in the diagram (asking first
  // when the diagram's plan was changed). A file that cannot be read is
  // shown in a message box; false then or when the user kept the plan shown.
  // The frame's title names the diagram's plan file.
  bool openPlan(const QString& path);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void createActions();
  void createMenus();
  void createWorkspace();
  void createWindowMenu();
  void fillWindowMenu();
  void createHelpMenu();
  QMdiSubWindow* createSubWindow(Reaction reaction);
  QMdiSubWindow* createDiagramSubWindow();
  void passHeatToDiagram(Reaction reaction);
  void fitToSubWindow(const QMdiSubWindow& subWindow);
  void leaveHiddenSubWindow(QMdiSubWindow& hidden);
  void showPlanTitle(const QString& path);

  QMdiArea* workspace_ = nullptr;
  QMenu* fileMenu_ = nullptr;
  QAction* showForm1Action_ = nullptr;
  QAction* showForm2Action_ = nullptr;
  QAction* exitAction_ = nullptr;
  QMenu* chartMenu_ = nullptr;
  QAction* showDiagramAction_ = nullptr;
  PlanMenu* planMenu_ = nullptr;  // 打开方案… to 导入炉次记录…
  QMenu* windowMenu_ = nullptr;
  QMenu* helpMenu_ = nullptr;
  // One slot per reaction; null while the window is absent (closed windows delete themselves).
  std::array<QPointer<QMdiSubWindow>, 2> subWindows_;
  QPointer<QMdiSubWindow> diagramSubWindow_;  // null while the diagram is absent
  bool fitted_ = false;                       // the frame has been sized to hold a whole calculation window
  bool handingOver_ = false;                  // within leaveHiddenSubWindow's activation of another window
};

}  // namespace velkarin
