// SPDX-License-Identifier: Apache-2.0
#include "ui/diagram/equilibrium_diagram_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStringList>
#include <QTimer>
#include <limits>

#include "calc/number_list.h"
#include "calc/number_text.h"
#include "calc/plan_evaluation.h"
#include "calc/reaction_data.h"
#include "ui/common/qt_text.h"
#include "ui/common/song_font.h"
#include "ui/diagram/blow_sheets.h"
#include "ui/diagram/calibration_sheet.h"
#include "ui/diagram/chart_marks.h"
#include "ui/diagram/diagram_input.h"
#include "ui/diagram/diagram_rows.h"
#include "ui/diagram/entry_bindings.h"
#include "ui/diagram/equilibrium_chart_view.h"
#include "ui/diagram/heats_sheet.h"
#include "ui/diagram/session_view.h"
#include "ui/diagram/stage_table.h"
#include "ui/model/plan_document.h"
#include "ui/model/plan_session.h"
#include "words/chinese.h"

namespace velkarin {

using namespace diagram;

EquilibriumDiagramWindow::EquilibriumDiagramWindow(const DiagramStart& start, QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("EquilibriumDiagram"));
  setWindowTitle(QStringLiteral("平衡曲线图[*]"));
  setAcceptDrops(true);  // a CSV of heats dropped on the diagram is imported
  setFont(songFont(windowFontPointSize));
  document_ = new PlanDocument(this);
  bindings_ = new EntryBindings(*document_, this);
  createControls();
  // After the views: the stage table has followed an edit of the stages
  // before the session's results of it are shown in its rows.
  session_ = new PlanSession(*document_, start.windowConstants, this);
  const SheetPlaces places{this, chartView_, chartTabs_, sheetTabs_, pointer_};
  heatsSheet_ = new HeatsSheet(*document_, *session_, places);
  calibrationSheet_ = new CalibrationSheet(*document_, *session_, places);
  blowSheets_ = new BlowSheets(*document_, *session_, places, {stageTable_, ledgerPanel_, simulationPanel_});
  followDocument();

  Plan first;
  first.reaction = start.reaction;
  first.constants = start.constants;
  if (!readReactionLine(first.constants)) {
    startNote_ = QStringLiteral("%1的A、B（“%2”、“%3”）不是数字，改用第一行预设值")
                     .arg(start.source.isEmpty() ? QStringLiteral("计算窗口") : start.source,
                          toQString(messageExcerpt(first.constants.a)), toQString(messageExcerpt(first.constants.b)));
    first.constants = presetConstants(start.reaction);
  }
  for (const CompositionRow& row : compositionRows) {
    setPlanEntryText(first, row.place, formatPlain(start.composition.*row.field));
  }
  // A plan's texts are kept whole: a line edit would cut them at 32,767
  // characters, and a long note opened and saved again would lose its end.
  for (QLineEdit* edit : findChildren<QLineEdit*>()) edit->setMaxLength(std::numeric_limits<int>::max());
  // The other oxide's A and B follow its calculation window.
  document_->reset(first, false);
}

// The views follow the document: each edit, undo or redo redraws what
// depends on what it changed.
void EquilibriumDiagramWindow::followDocument() {
  connect(document_, &PlanDocument::modifiedChanged, this, &QWidget::setWindowModified);
  // A 不保存 given before covers no later change.
  connect(document_, &PlanDocument::edited, this, [this] { closeConfirmed_ = false; });
  connect(document_, &PlanDocument::entryChanged, this, &EquilibriumDiagramWindow::entryChanged);
  connect(session_, &PlanSession::changed, this, &EquilibriumDiagramWindow::showChanges);
}

// Why the start values were replaced holds until A or B are changed.
void EquilibriumDiagramWindow::entryChanged(const QString& place) {
  if (place == QLatin1String("A") || place == QLatin1String("B")) startNote_.clear();
}

// Closing a diagram whose stages or entries were changed asks first; the
// calculation windows close without a question, as they always have.
bool EquilibriumDiagramWindow::mayClose() {
  if (!isWindowModified() || closeConfirmed_) return true;
  // The heats and their fit live in the window only: the question says so.
  const QString dropped = heatsSheet_->heats().empty() && !heatsSheet_->heats().fittedLine()
                              ? QString()
                              : QStringLiteral("导入的炉次数据和拟合结果不保存在方案中，将随窗口关闭而丢弃。");
  closeConfirmed_ = askToSave(QStringLiteral("关闭前是否保存？") + dropped);
  return closeConfirmed_;
}

bool EquilibriumDiagramWindow::mayReplace() {
  return !isWindowModified() || askToSave(QStringLiteral("打开另一个方案前是否保存？"));
}

// 保存 saves (and goes on only when the plan was written), 不保存 goes on,
// 取消 (also Esc) stays.
bool EquilibriumDiagramWindow::askToSave(const QString& question) {
  const QString name = document_->fileName();
  QMessageBox ask(QMessageBox::Question, QStringLiteral("平衡曲线图"),
                  QStringLiteral("“%1”的吹炼阶段和输入已修改。%2").arg(name, question), QMessageBox::NoButton, this);
  QPushButton* save = ask.addButton(QStringLiteral("保存"), QMessageBox::AcceptRole);
  QPushButton* discard = ask.addButton(QStringLiteral("不保存"), QMessageBox::DestructiveRole);
  QPushButton* cancel = ask.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
  ask.setDefaultButton(save);
  ask.setEscapeButton(cancel);
  ask.exec();
  if (ask.clickedButton() == save) return savePlan();
  return ask.clickedButton() == discard;
}

void EquilibriumDiagramWindow::closeEvent(QCloseEvent* event) {
  if (!mayClose()) {
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

Reaction EquilibriumDiagramWindow::reaction() const { return session_->entries().family.reaction; }
const CurveFamilyInputs& EquilibriumDiagramWindow::inputs() const { return session_->entries().family; }
const std::vector<StageResult>& EquilibriumDiagramWindow::stageResults() const { return session_->stages().results; }
const StageSettings& EquilibriumDiagramWindow::stageSettings() const { return session_->stages().settings; }
const std::optional<BlowSimulation>& EquilibriumDiagramWindow::simulation() const { return session_->simulation(); }

void EquilibriumDiagramWindow::redraw() { session_->recompute(); }

// Redraws what the session computed anew. Entries that cannot be read keep
// the curves and stages of the last that could; the status line says why.
void EquilibriumDiagramWindow::showChanges(PlanSession::Changes what) {
  if (what & PlanSession::Curves) drawCurves(*chartView_, plan(), *session_);
  if (what & PlanSession::Stages) blowSheets_->showStages();
  if (what & PlanSession::Simulation) blowSheets_->showSimulation();
  if (what & PlanSession::Curves) chartView_->setChartTitle(chartTitle(plan(), *session_));
  if (what & (PlanSession::Curves | PlanSession::HeatPath)) drawHeatPath(*chartView_, *session_);
  if (what & PlanSession::Curves) heatsSheet_->show();
  showStatus();
}

bool EquilibriumDiagramWindow::bothOxides() const { return document_->plan().bothOxides; }

void EquilibriumDiagramWindow::windowConstantsChanged(Reaction reaction) { session_->windowConstantsChanged(reaction); }

void EquilibriumDiagramWindow::setHeatPath(Reaction reaction, const std::vector<MeltState>& states) {
  session_->setHeatPath(reaction, states);
}

const std::vector<PlantHeat>& EquilibriumDiagramWindow::plantHeats() const { return heatsSheet_->heats().heats(); }
const std::vector<HeatFigures>& EquilibriumDiagramWindow::heatFigures() const { return heatsSheet_->heats().figures(); }
HeatsPanel* EquilibriumDiagramWindow::heatsPanel() const { return heatsSheet_->panel(); }
HeatOverlay* EquilibriumDiagramWindow::heatOverlay() const { return heatsSheet_->overlay(); }
const std::optional<ReactionLine>& EquilibriumDiagramWindow::fittedLine() const {
  return heatsSheet_->heats().fittedLine();
}
std::optional<QString> EquilibriumDiagramWindow::importHeats(const QString& path) {
  return heatsSheet_->importHeats(path);
}
void EquilibriumDiagramWindow::askAndImportHeats(const QString& path) { heatsSheet_->askAndImportHeats(path); }
void EquilibriumDiagramWindow::fitHeats() { heatsSheet_->fitHeats(); }
bool EquilibriumDiagramWindow::adoptFit() { return heatsSheet_->adoptFit(); }

CalibrationPanel* EquilibriumDiagramWindow::calibrationPanel() const { return calibrationSheet_->panel(); }
const std::optional<Calibration>& EquilibriumDiagramWindow::calibration() const {
  return calibrationSheet_->calibration();
}
const std::vector<LoggedHeat>& EquilibriumDiagramWindow::loggedHeats() const {
  return calibrationSheet_->loggedHeats();
}
std::optional<QString> EquilibriumDiagramWindow::importHeatLog(const QString& path) {
  return calibrationSheet_->importHeatLog(path);
}
void EquilibriumDiagramWindow::askAndImportHeatLog(const QString& path) {
  calibrationSheet_->askAndImportHeatLog(path);
}
bool EquilibriumDiagramWindow::adoptCalibration() { return calibrationSheet_->adoptCalibration(); }
void EquilibriumDiagramWindow::showLoggedHeat(std::size_t heat) { calibrationSheet_->showLoggedHeat(heat); }

void EquilibriumDiagramWindow::adoptSimulatedTemperatures() { blowSheets_->adoptSimulatedTemperatures(); }

void EquilibriumDiagramWindow::dragEnterEvent(QDragEnterEvent* event) { acceptDroppableFile(*event); }

void EquilibriumDiagramWindow::dropEvent(QDropEvent* event) {
  const DroppedFile file = takeDroppedFile(*event);
  if (file.kind != DroppedFile::Kind::None) openDroppedFile(file);
}

// A plan opens at once (asking first when the plan shown was changed); a
// CSV's heats are imported after the drag's own event loop has ended, since
// the import shows a progress dialog.
void EquilibriumDiagramWindow::openDroppedFile(const DroppedFile& file) {
  if (file.kind == DroppedFile::Kind::Plan) {
    askAndOpenPlan(file.path);
  } else if (file.kind == DroppedFile::Kind::Heats) {
    QTimer::singleShot(0, this, [this, path = file.path] { askAndImportHeats(path); });
  }
}

}  // namespace velkarin
