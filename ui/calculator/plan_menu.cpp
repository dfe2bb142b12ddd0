// SPDX-License-Identifier: Apache-2.0
#include "ui/calculator/plan_menu.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>
#include <QWidget>

#include "ui/diagram/equilibrium_diagram_window.h"
#include "ui/diagram/plan_report.h"

namespace velkarin {

namespace {

const QString recentKey = QStringLiteral("recentPlans");
const QString csvFilter = QStringLiteral("CSV 文件 (*.csv);;所有文件 (*)");

}  // namespace

PlanMenu::PlanMenu(QWidget& frame, std::function<EquilibriumDiagramWindow*()> showDiagram)
    : QObject(&frame), frame_(frame), showDiagram_(std::move(showDiagram)) {
  addAction("打开方案", QStringLiteral("打开方案…"), QKeySequence::Open, [this] {
    const QString path = QFileDialog::getOpenFileName(&frame_, QStringLiteral("打开方案"), QString(),
                                                      QStringLiteral("Velkarin 方案 (*.velkarin);;所有文件 (*)"));
    if (!path.isEmpty()) showDiagram_()->askAndOpenPlan(path);
  });
  recent_ = new QMenu(QStringLiteral("打开最近的方案"), &frame_);
  recent_->setObjectName(QStringLiteral("打开最近的方案"));
  connect(recent_, &QMenu::aboutToShow, this, &PlanMenu::fillRecent);
  fillRecent();
  actions_ << recent_->menuAction();
  addAction("保存方案", QStringLiteral("保存方案"), QKeySequence::Save, [this] { showDiagram_()->savePlan(); });
  addAction("方案另存为", QStringLiteral("方案另存为…"), {}, [this] { showDiagram_()->savePlanAs(); });
  actions_ << nullptr;
  addAction("导出报告", QStringLiteral("导出报告(PDF)…"), {}, [this] { askAndExportReport(*showDiagram_()); });
  addAction("打印", QStringLiteral("打印…"), QKeySequence::Print, [this] { printPlanReport(*showDiagram_()); });
  actions_ << nullptr;
  addAction("导入炉次数据", QStringLiteral("导入炉次数据…"), {}, [this] { askAndImport(false); });
  addAction("导入炉次记录", QStringLiteral("导入炉次记录…"), {}, [this] { askAndImport(true); });
}

QAction* PlanMenu::addAction(const char* name, const QString& text, const QKeySequence& keys,
                             std::function<void()> run) {
  auto* action = new QAction(text, &frame_);
  action->setObjectName(QString::fromUtf8(name));
  action->setShortcut(keys);
  action->setShortcutContext(Qt::WindowShortcut);
  connect(action, &QAction::triggered, this, std::move(run));
  actions_ << action;
  return action;
}

void PlanMenu::addTo(QMenu& menu) {
  for (QAction* action : actions_) {
    if (action) {
      menu.addAction(action);
    } else {
      menu.addSeparator();
    }
  }
}

void PlanMenu::askAndImport(bool heatLog) {
  const QString title = heatLog ? QStringLiteral("导入炉次记录") : QStringLiteral("导入炉次数据");
  const QString path = QFileDialog::getOpenFileName(&frame_, title, QString(), csvFilter);
  if (path.isEmpty()) return;
  if (heatLog) {
    showDiagram_()->askAndImportHeatLog(path);
  } else {
    showDiagram_()->askAndImportHeats(path);
  }
}

QStringList PlanMenu::recentPlans() {
  QStringList plans;
  for (const QString& path : QSettings().value(recentKey).toStringList()) {
    if (QFileInfo(path).isFile() && !plans.contains(path) && plans.size() < recentCount) plans << path;
  }
  return plans;
}

void PlanMenu::rememberPlan(const QString& path) {
  if (path.isEmpty()) return;
  QStringList plans = recentPlans();
  plans.removeAll(path);
  plans.prepend(path);
  while (plans.size() > recentCount) plans.removeLast();
  QSettings().setValue(recentKey, plans);
}

// Each plan by its file name with its folder, numbered for the keyboard.
void PlanMenu::fillRecent() {
  recent_->clear();
  const QStringList plans = recentPlans();
  recent_->setEnabled(!plans.isEmpty());
  for (qsizetype i = 0; i < plans.size(); ++i) {
    const QFileInfo file(plans[i]);
    QAction* entry = recent_->addAction(QStringLiteral("&%1 ").arg(i + 1) +
                                        QStringLiteral("%1  (%2)")
                                            .arg(file.fileName(), QDir::toNativeSeparators(file.absolutePath()))
                                            .replace(QLatin1Char('&'), QStringLiteral("&&")));
    connect(entry, &QAction::triggered, this, [this, path = plans[i]] { showDiagram_()->askAndOpenPlan(path); });
  }
}

}  // namespace velkarin
