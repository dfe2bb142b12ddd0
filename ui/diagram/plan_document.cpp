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
#include "ui/diagram/diagram_rows.h"
#include "ui/diagram/equilibrium_diagram_window.h"
#include "ui/diagram/ledger_panel.h"
#include "ui/diagram/simulation_panel.h"
#include "ui/diagram/stage_table.h"

namespace velkarin {

using namespace diagram;

namespace {

const QString planFilter = QStringLiteral("Velkarin 方案 (*.velkarin)");

std::string text(const QLineEdit* edit) { return edit->text().toStdString(); }

void setText(QLineEdit* edit, const std::string& text) {
  const QSignalBlocker block(edit);
  edit->setText(toQString(text));
}

// The reason a plan file cannot be read, in the window's words.
QString planFileErrorText(const PlanFileError& error) {
  switch (error.fault) {
    case PlanFault::NotJson:
      return QStringLiteral("第%1行第%2列不是有效的JSON（%3）")
          .arg(error.line)
          .arg(error.column)
          .arg(toQString(error.detail));
    case PlanFault::NotAPlan:
      return QStringLiteral("不是Velkarin方案文件（缺少 \"format\": \"velkarin-plan\"）");
    case PlanFault::NoVersion:
      return QStringLiteral("方案文件没有版本号（\"version\"）");
    case PlanFault::NewerVersion:
      return QStringLiteral("方案文件的版本%1比本程序能读的版本%2新，请更新Velkarin")
          .arg(toQString(error.member))
          .arg(planVersion);
    case PlanFault::BadMember:
      return QStringLiteral("成员“%1”应为%2").arg(toQString(error.member), toQString(error.detail));
    case PlanFault::TooManyStages:
      return QStringLiteral("阶段多于%1个").arg(maxPlanStages);
    case PlanFault::TooDeep:
      return QStringLiteral("第%1行第%2列：嵌套超过%3层").arg(error.line).arg(error.column).arg(maxPlanDepth);
    case PlanFault::NumberOutOfRange:
      return QStringLiteral("第%1行第%2列%3的数值超出范围（%4）")
          .arg(error.line)
          .arg(error.column)
          .arg(error.member.empty() ? QString() : QStringLiteral("成员“%1”").arg(toQString(error.member)),
               toQString(error.detail));
  }
  return {};
}

// Why a plan file could not be read from the disk.
QString fileReadText(const FileRead& read) {
  switch (read.fault) {
    case FileReadFault::None:
      break;
    case FileReadFault::CannotOpen:
      return QStringLiteral("无法打开：%1").arg(QString::fromLocal8Bit(std::strerror(read.error)));
    case FileReadFault::NotRegular:
      return QStringLiteral("不是普通文件");
    case FileReadFault::TooLarge:
      return QStringLiteral("文件大于%1 MiB").arg(maxPlanFileBytes >> 20);
    case FileReadFault::ReadFailed:
      return QStringLiteral("无法读取：%1").arg(QString::fromLocal8Bit(std::strerror(read.error)));
  }
  return {};
}

}  // namespace

Plan EquilibriumDiagramWindow::plan() const {
  Plan plan;
  plan.reaction = reactionRows[reactionCombo_->currentIndex()].reaction;
  plan.constants = {text(constantA_), text(constantB_)};
  plan.otherConstants = planOther_ ? *planOther_ : otherConstants_;  // as typed, even where not a number
  plan.composition = {text(composition_[0]), text(composition_[1]), text(composition_[2]), text(composition_[3])};
  plan.pressures = text(pressures_);
  plan.totalPressure = text(totalPressure_);
  plan.coShare = text(coShare_);
  plan.bothOxides = bothOxides_->isChecked();
  plan.target = stageTable_->targetText().toStdString();
  plan.heat = ledgerPanel_->entries();
  simulationPanel_->putEntries(plan.heat);
  plan.stages = stageTable_->stages();
  plan.note = text(note_);
  plan.extraMembers = extraMembers_;
  return plan;
}

void EquilibriumDiagramWindow::setPlan(const Plan& plan) {
  {
    const QSignalBlocker blockReaction(reactionCombo_);
    reactionCombo_->setCurrentIndex(static_cast<int>(slotOf(plan.reaction)));
  }
  fillPresets();
  setText(constantA_, plan.constants.a);
  setText(constantB_, plan.constants.b);
  selectMatchingPreset();
  planOther_ = plan.otherConstants;
  const std::array<const std::string*, 4> composition{&plan.composition.chromium, &plan.composition.nickel,
                                                      &plan.composition.silicon, &plan.composition.manganese};
  for (std::size_t i = 0; i < composition_.size(); ++i) setText(composition_[i], *composition[i]);
  setText(pressures_, plan.pressures);
  setText(totalPressure_, plan.totalPressure);
  setText(coShare_, plan.coShare);
  setText(note_, plan.note);
  {
    const QSignalBlocker block(bothOxides_);
    bothOxides_->setChecked(plan.bothOxides);
  }
  {
    const QSignalBlocker block(stageTable_);
    stageTable_->setTargetText(toQString(plan.target));
    stageTable_->setStages(plan.stages);
  }
  {
    const QSignalBlocker block(ledgerPanel_);
    ledgerPanel_->setEntries(plan.heat);
  }
  {
    // A plan with a start temperature was simulated: it opens simulated.
    const QSignalBlocker block(simulationPanel_);
    simulationPanel_->setEntries(plan.heat);
    simulationPanel_->setSimulating(!trimmedItem(plan.heat.startTemperature).empty());
    stageTable_->showSimulationColumns(simulationPanel_->simulating());
  }
  extraMembers_ = plan.extraMembers;
  startNote_.clear();
  redraw();
  setWindowModified(false);
  closeConfirmed_ = false;
}

std::optional<QString> EquilibriumDiagramWindow::openPlanFile(const QString& path) {
  const PlanFileRead read = readPlanFile(QFile::encodeName(path).toStdString());
  if (read.file.fault != FileReadFault::None) return fileReadText(read.file);
  if (!read.plan) return planFileErrorText(*read.error);
  showPlan(*read.plan, path);
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
  planPath_ = QFileInfo(path).absoluteFilePath();
  showPlanTitle();
}

std::optional<QString> EquilibriumDiagramWindow::savePlanFile(const QString& path) {
  if (std::optional<QString> error = writeFileWhole(path, QByteArray::fromStdString(planText(plan())))) return error;
  planPath_ = QFileInfo(path).absoluteFilePath();
  setWindowModified(false);
  showPlanTitle();
  return std::nullopt;
}

bool EquilibriumDiagramWindow::savePlan() {
  if (planPath_.isEmpty()) return savePlanAs();
  if (const std::optional<QString> error = savePlanFile(planPath_)) {
    QMessageBox::critical(this, QStringLiteral("平衡曲线图"),
                          QStringLiteral("无法保存方案“%1”：%2").arg(QDir::toNativeSeparators(planPath_), *error));
    return false;
  }
  return true;
}

bool EquilibriumDiagramWindow::savePlanAs() {
  const QString suggested = planPath_.isEmpty() ? QStringLiteral("方案.velkarin") : planPath_;
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
  setWindowTitle(planPath_.isEmpty() ? QStringLiteral("平衡曲线图[*]")
                                     : QStringLiteral("平衡曲线图 - %1[*]").arg(QFileInfo(planPath_).fileName()));
  emit planFileChanged(planPath_);
}

}  // namespace velkarin
