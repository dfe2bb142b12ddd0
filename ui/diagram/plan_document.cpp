// SPDX-License-Identifier: Apache-2.0
// The equilibrium diagram as a document: the plan it shows read from and
// written to its *.velkarin file, and the title that names the file.

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QSignalBlocker>
#include <QUndoStack>
#include <cstring>

#include "calc/number_list.h"
#include "calc/plan.h"
#include "calc/plan_file.h"
#include "calc/plan_members.h"
#include "ui/common/qt_text.h"
#include "ui/common/text_file.h"
#include "ui/diagram/blow_sheets.h"
#include "ui/diagram/diagram_rows.h"
#include "ui/diagram/equilibrium_diagram_window.h"
#include "ui/diagram/ledger_panel.h"
#include "ui/diagram/simulation_panel.h"
#include "ui/diagram/stage_table.h"
#include "ui/model/plan_document.h"
#include "ui/model/plan_session.h"

namespace velkarin {

using namespace diagram;

namespace {

const QString planFilter = QStringLiteral("Velkarin 方案 (*.velkarin)");

}  // namespace

const Plan& EquilibriumDiagramWindow::plan() const { return document_->plan(); }

void EquilibriumDiagramWindow::setPlan(const Plan& plan) {
  startNote_.clear();
  const QSignalBlocker block(session_);  // one redraw, once the plan is in
  blowSheets_->simulateAsSaved(plan);
  document_->reset(plan);
  closeConfirmed_ = false;
  showChanges(PlanSession::Entries | PlanSession::Curves | PlanSession::Stages | PlanSession::Simulation |
              PlanSession::HeatPath);
}

std::optional<QString> EquilibriumDiagramWindow::openPlanFile(const QString& path) {
  std::variant<Plan, QString> read = PlanDocument::read(path);
  if (const auto* reason = std::get_if<QString>(&read)) return *reason;
  showPlan(std::get<Plan>(read), path);
  return std::nullopt;
}

bool EquilibriumDiagramWindow::askAndOpenPlan(const QString& path) {
  if (!mayReplace()) return false;
  if (const std::optional<QString> error = openPlanFile(path)) {
    QMessageBox::critical(this, QStringLiteral("打开方案"),
                          QStringLiteral("无法打开方案“%1”：%2").arg(QDir::toNativeSeparators(path), *error));
    return false;
  }
  return true;
}

void EquilibriumDiagramWindow::showPlan(const Plan& plan, const QString& path) {
  setPlan(plan);
  document_->belongTo(path);
  showPlanTitle();
}

std::optional<QString> EquilibriumDiagramWindow::savePlanFile(const QString& path) {
  if (std::optional<QString> error = document_->save(path)) return error;
  showPlanTitle();
  return std::nullopt;
}

QString EquilibriumDiagramWindow::planPath() const { return document_->path(); }

bool EquilibriumDiagramWindow::savePlan() {
  const QString path = document_->path();
  if (path.isEmpty()) return savePlanAs();
  if (const std::optional<QString> error = savePlanFile(path)) {
    QMessageBox::critical(this, QStringLiteral("平衡曲线图"),
                          QStringLiteral("无法保存方案“%1”：%2").arg(QDir::toNativeSeparators(path), *error));
    return false;
  }
  return true;
}

bool EquilibriumDiagramWindow::savePlanAs() {
  const QString suggested = planPath().isEmpty() ? QStringLiteral("方案.velkarin") : planPath();
  QString path = QFileDialog::getSaveFileName(this, QStringLiteral("方案另存为"), suggested, planFilter);
  if (path.isEmpty()) return false;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".velkarin");
  if (const std::optional<QString> error = savePlanFile(path)) {
    QMessageBox::critical(this, QStringLiteral("平衡曲线图"),
                          QStringLiteral("无法保存方案“%1”：%2").arg(QDir::toNativeSeparators(path), *error));
    return false;
  }
  return true;
}

// "平衡曲线图 - 方案.velkarin[*]": the frame marks the modified plan.
void EquilibriumDiagramWindow::showPlanTitle() {
  setWindowTitle(planPath().isEmpty() ? QStringLiteral("平衡曲线图[*]")
                                      : QStringLiteral("平衡曲线图 - %1[*]").arg(document_->fileName()));
  emit planFileChanged(planPath());
}

}  // namespace velkarin
