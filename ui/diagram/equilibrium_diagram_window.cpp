// SPDX-License-Identifier: Apache-2.0
#include "ui/diagram/equilibrium_diagram_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStringList>
#include <limits>

#include "calc/number_list.h"
#include "calc/number_text.h"
#include "calc/plan_evaluation.h"
#include "calc/reaction_data.h"
#include "ui/common/qt_text.h"
#include "ui/common/song_font.h"
#include "ui/diagram/chart_marks.h"
#include "ui/diagram/diagram_input.h"
#include "ui/diagram/diagram_rows.h"
#include "ui/diagram/equilibrium_chart_view.h"
#include "ui/diagram/stage_table.h"
#include "ui/model/plan_document.h"
#include "words/chinese.h"

namespace velkarin {

using namespace diagram;

// The problems of the entries, as the status line says them.
static std::string joined(const std::vector<std::string>& problems) {
  std::string text;
  for (const std::string& problem : problems) text += (text.empty() ? "" : "；") + problem;
  return text;
}

ReactionConstants presetConstants(Reaction reaction, std::size_t row) {
  const PresetRow& preset = reactionData(reaction).presets[row];
  return {std::string(preset.a), std::string(preset.b)};
}

EquilibriumDiagramWindow::EquilibriumDiagramWindow(const DiagramStart& start, QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("EquilibriumDiagram"));
  setWindowTitle(QStringLiteral("平衡曲线图[*]"));
  setAcceptDrops(true);  // a CSV of heats dropped on the diagram is imported
  setFont(songFont(windowFontPointSize));
  entries_.family.reaction = start.reaction;
  windowConstants_ = start.windowConstants;
  otherLine_ = presetLine(otherReaction(start.reaction));
  document_ = new PlanDocument(this);
  createControls();
  document_->watch(*stageTable_->undoStack());
  connect(document_, &PlanDocument::modifiedChanged, this, &QWidget::setWindowModified);
  // A 不保存 given before covers no later change.
  connect(document_, &PlanDocument::edited, this, [this] { closeConfirmed_ = false; });

  ReactionConstants constants = start.constants;
  if (!readReactionLine(constants)) {
    startNote_ = QStringLiteral("%1的A、B（“%2”、“%3”）不是数字，改用第一行预设值")
                     .arg(start.source.isEmpty() ? QStringLiteral("计算窗口") : start.source,
                          toQString(messageExcerpt(constants.a)), toQString(messageExcerpt(constants.b)));
    constants = presetConstants(start.reaction);
  }
  {
    const QSignalBlocker blockReaction(reactionCombo_);
    reactionCombo_->setCurrentIndex(static_cast<int>(slotOf(start.reaction)));
  }
  fillPresets();
  for (QLineEdit* edit : {constantA_, constantB_}) {
    const QSignalBlocker block(edit);
    edit->setText(toQString(edit == constantA_ ? constants.a : constants.b));
  }
  selectMatchingPreset();
  for (std::size_t i = 0; i < compositionRows.size(); ++i) {
    const QSignalBlocker block(composition_[i]);
    composition_[i]->setText(shortest(start.composition.*compositionRows[i].field));
  }
  // A plan's texts are kept whole: a line edit would cut them at 32,767
  // characters, and a long note opened and saved again would lose its end.
  for (QLineEdit* edit : findChildren<QLineEdit*>()) edit->setMaxLength(std::numeric_limits<int>::max());
  redraw();
  watchForChanges();
}

// What the user changes from here on is work the close question protects:
// typed entries (the target and the sheets' too) and picked items; the
// stages' edits are the document's undo history.
void EquilibriumDiagramWindow::watchForChanges() {
  const auto changed = [this] { document_->entryEdited(); };
  for (QLineEdit* edit : findChildren<QLineEdit*>()) connect(edit, &QLineEdit::textEdited, this, changed);
  for (QComboBox* combo : {reactionCombo_, presetCombo_}) connect(combo, &QComboBox::activated, this, changed);
  connect(bothOxides_, &QCheckBox::clicked, this, changed);
}

// Closing a diagram whose stages or entries were changed asks first; the
// calculation windows close without a question, as they always have.
bool EquilibriumDiagramWindow::mayClose() {
  if (!isWindowModified() || closeConfirmed_) return true;
  // The heats and their fit live in the window only: the question says so.
  const QString dropped = heats_.empty() && !fittedLine_
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

QLineEdit* EquilibriumDiagramWindow::addEdit(const char* name, const QString& text) {
  auto* edit = new QLineEdit(text, this);
  edit->setObjectName(toQString(name));
  connect(edit, &QLineEdit::textChanged, this, &EquilibriumDiagramWindow::redraw);
  return edit;
}

void EquilibriumDiagramWindow::fillPresets() {
  const QSignalBlocker block(presetCombo_);
  presetCombo_->clear();
  const ReactionData& reactionTable = reactionData(reactionRows[reactionCombo_->currentIndex()].reaction);
  for (std::size_t row = 0; row < reactionTable.presets.size(); ++row) {
    presetCombo_->addItem(QStringLiteral("%1：A=%2  B=%3")
                              .arg(row + 1)
                              .arg(toQString(reactionTable.presets[row].a), toQString(reactionTable.presets[row].b)));
  }
  presetCombo_->setToolTip(toQString(reactionTable.tooltipA));
}

// Shows the preset row whose texts A and B are, or none (自定义).
void EquilibriumDiagramWindow::selectMatchingPreset() {
  const ReactionData& reactionTable = reactionData(reactionRows[reactionCombo_->currentIndex()].reaction);
  int match = -1;
  for (std::size_t row = 0; row < reactionTable.presets.size() && match < 0; ++row) {
    if (constantA_->text().trimmed() == toQString(reactionTable.presets[row].a) &&
        constantB_->text().trimmed() == toQString(reactionTable.presets[row].b)) {
      match = static_cast<int>(row);
    }
  }
  const QSignalBlocker block(presetCombo_);
  presetCombo_->setCurrentIndex(match);
}

void EquilibriumDiagramWindow::pickPreset(int index) {
  if (index < 0) return;
  const ReactionConstants constants =
      presetConstants(reactionRows[reactionCombo_->currentIndex()].reaction, static_cast<std::size_t>(index));
  for (QLineEdit* edit : {constantA_, constantB_}) {
    const QSignalBlocker block(edit);
    edit->setText(toQString(edit == constantA_ ? constants.a : constants.b));
  }
  startNote_.clear();
  redraw();
}

// A new reaction starts from its first preset row; the other oxide's A and
// B come from its calculation window again.
void EquilibriumDiagramWindow::switchReaction(int) {
  planOther_.reset();
  fillPresets();
  const QSignalBlocker block(presetCombo_);
  presetCombo_->setCurrentIndex(0);
  pickPreset(0);
}

void EquilibriumDiagramWindow::editConstants() {
  selectMatchingPreset();
  startNote_.clear();
  redraw();
}

// Reads the entries into the plan, evaluates it, shows the result. An
// entry that cannot be read keeps the curves and stages of the last entries
// that could.
void EquilibriumDiagramWindow::redraw() {
  const Reaction reaction = reactionRows[reactionCombo_->currentIndex()].reaction;
  otherLine_ = readOtherLine(reaction);
  PlanReading reading = readPlanEntries(plan());
  if (!reading.read()) {
    problem_ = toQString(joined(chinese(reading.problems))) + QStringLiteral("。仍显示上次的曲线。");
    showStatus();
    return;
  }
  problem_.clear();
  entries_ = std::move(reading);
  showCurves();
  evaluateStages();
  chartView_->setChartTitle(chartTitle());
  showHeat();
  showPlantHeats();
}

// The shown reaction's family; with both oxides, the other's after it,
// dashed, in the same colour per pressure.
void EquilibriumDiagramWindow::showCurves() {
  std::vector<EquilibriumCurve> curves = planCurves(entries_, otherLine_, bothOxides());
  if (!bothOxides()) {
    chartView_->showCurves(std::move(curves));
    return;
  }
  const std::size_t count = curves.size() / 2;
  const QString first = toQString(reactionData(entries_.family.reaction).name);
  const QString dashed = toQString(reactionData(otherReaction(entries_.family.reaction)).name);
  std::vector<CurveStyle> styles;
  for (std::size_t i = 0; i < count; ++i) {
    // The legend names the pressure once: the label without its reaction.
    const QString label = toQString(curves[i].label).mid(first.size() + 1);
    styles.push_back({i, false, count + i, first, label});
  }
  for (std::size_t i = 0; i < count; ++i) styles.push_back({i, true, i, dashed, {}});
  chartView_->showCurves(std::move(curves), std::move(styles));
}

bool EquilibriumDiagramWindow::bothOxides() const { return bothOxides_->isChecked(); }

void EquilibriumDiagramWindow::windowConstantsChanged(Reaction reaction) {
  if (reaction != entries_.family.reaction) redraw();  // the shown reaction's A and B are the diagram's own entries
}

// A and B of the reaction not shown: as typed in its calculation window,
// else its first preset row.
ReactionLine EquilibriumDiagramWindow::readOtherLine(Reaction shown) {
  const Reaction other = otherReaction(shown);
  otherNote_.clear();
  const QString name = toQString(reactionData(other).name);
  std::optional<ReactionConstants> typed = planOther_;
  if (!typed && windowConstants_) typed = windowConstants_(other);
  if (typed) {
    if (const std::optional<ReactionLine> line = readReactionLine(*typed)) {
      otherConstants_ = *typed;
      return *line;
    }
    otherNote_ = planOther_ ? QStringLiteral("方案中%1的A、B不是数字，%1改用第一行预设值").arg(name)
                            : QStringLiteral("%1窗口的A、B不是数字，%1改用第一行预设值").arg(name);
  }
  otherConstants_ = presetConstants(other);
  return presetLine(other);
}

void EquilibriumDiagramWindow::setHeatPath(Reaction reaction, const std::vector<MeltState>& states) {
  heatPaths_[slotOf(reaction)] = states;
  if (reaction == entries_.family.reaction) showHeat();
}

void EquilibriumDiagramWindow::showHeat() {
  std::vector<HeatMark> heats;
  for (const MeltState& state : heatPaths_[slotOf(entries_.family.reaction)]) {
    heats.push_back({state.temperature - constants::kelvinOffset, state.carbon, state.coPressure});
  }
  chartView_->showHeats(heats);
  showStatus();
}

}  // namespace velkarin
