// SPDX-License-Identifier: Apache-2.0
#pragma once

// The plan items of the frame's 图表 menu: 打开方案… (Ctrl+O), 打开最近的方案
// (the last plans opened or saved, newest first), 保存方案 (Ctrl+S),
// 方案另存为…, 导出报告(PDF)…, 打印… (Ctrl+P), 导入炉次数据…, 导入炉次记录….
// Each works on the diagram, opening it where it is absent. The actions are
// children of the frame, named as their texts without the dots.

#include <QObject>
#include <QStringList>
#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace velkarin {

class EquilibriumDiagramWindow;

class PlanMenu : public QObject {
  Q_OBJECT

 public:
  // The plans 打开最近的方案 lists at most.
  static constexpr int recentCount = 8;

  PlanMenu(QWidget& frame, std::function<EquilibriumDiagramWindow*()> showDiagram);
  void addTo(QMenu& menu);

  // Newest first; files that no longer exist are left out.
  static QStringList recentPlans();
  // `path` becomes the newest of the recent plans.
  static void rememberPlan(const QString& path);

 private:
  QAction* addAction(const char* name, const QString& text, const QKeySequence& keys, std::function<void()> run);
  void askAndImport(bool heatLog);
  void fillRecent();

  QWidget& frame_;
  std::function<EquilibriumDiagramWindow*()> showDiagram_;
  QList<QAction*> actions_;  // in menu order; nullptr for a separator
  QMenu* recent_ = nullptr;
};

}  // namespace velkarin
