// SPDX-License-Identifier: Apache-2.0
#include "ui/diagram/equilibrium_diagram_window.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTimer>
#include <limits>
#include <utility>

#include "calc/number_list.h"
#include "calc/number_text.h"
#include "ui/common/qt_text.h"
#include "ui/common/song_font.h"
#include "ui/diagram/diagram_rows.h"
#include "ui/diagram/entry_bindings.h"
#include "ui/diagram/equilibrium_chart_view.h"
#include "ui/diagram/session_view.h"
#include "ui/model/plan_document.h"

namespace velkarin {

using namespace diagram;

namespace {

// The plan a new diagram shows: the calculation window's reaction, its A and
// B (the first preset row where they are no numbers: `note` says so) and
// the composition of its last calculation.
Plan startPlan(const DiagramStart& start, QString& note) {
  Plan first;
  first.reaction = start.reaction;
  first.constants = start.constants;
  if (!readReactionLine(first.constants)) {
    note = QStringLiteral("%1的A、B（“%2”、“%3”）不是数字，改用第一行预设值")
               .arg(start.source.isEmpty() ? QStringLiteral("计算窗口") : start.source,
                    toQString(messageExcerpt(first.constants.a)), toQString(messageExcerpt(first.constants.b)));
    first.constants = presetConstants(start.reaction);
  }
  for (const CompositionRow& row : compositionRows) {
    setPlanEntryText(first, row.place, formatPlain(start.composition.*row.field));
  }
  return first;
}

}  // namespace

EquilibriumDiagramWindow::EquilibriumDiagramWindow(const DiagramStart& start, QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("EquilibriumDiagram"));
  setWindowTitle(QStringLiteral("平衡曲线图[*]"));
  setAcceptDrops(true);  // a plan or a CSV of heats dropped on the diagram is opened
  setFont(songFont(windowFontPointSize));
  document_ = new PlanDocument(this);
  bindings_ = new EntryBindings(*document_, this);
  parts_ = layOutDiagram(*this, *document_, *bindings_);
  // After the views: the stage table has followed an edit of the stages
  // before the session's results of it are shown in its rows.
  session_ = new PlanSession(*document_, start.windowConstants, this);
  const SheetPlaces places{this, parts_.chart, parts_.chartTabs, parts_.sheetTabs, parts_.pointer};
  heats_ = new HeatsSheet(*document_, *session_, places);
  calibration_ = new CalibrationSheet(*document_, *session_, places);
  blow_ = new BlowSheets(*document_, *session_, places, {parts_.stages, parts_.ledger, parts_.simulation});
  files_ = new PlanFiles(
      *this, *document_, [this](const Plan& plan) { setPlan(plan); },
      [this] {
        // The heats and their fit live in the window only: the question says so.
        return heats_->heats().empty() && !heats_->heats().fittedLine()
                   ? QString()
                   : QStringLiteral("导入的炉次数据和拟合结果不保存在方案中，将随窗口关闭而丢弃。");
      });
  connect(files_, &PlanFiles::fileChanged, this, &EquilibriumDiagramWindow::planFileChanged);
  connect(document_, &PlanDocument::modifiedChanged, this, &QWidget::setWindowModified);
  // Why the start values were replaced holds until A or B are changed.
  connect(document_, &PlanDocument::entryChanged, this, [this](const QString& place) {
    if (place == QLatin1String("A") || place == QLatin1String("B")) startNote_.clear();
  });
  connect(session_, &PlanSession::changed, this, &EquilibriumDiagramWindow::showChanges);
  // The plan's undo history from anywhere in the diagram; a line edit being
  // typed in keeps Ctrl+Z for its own text.
  for (const auto& [keys, undo] : {std::pair{QKeySequence(QKeySequence::Undo), true},
                                   std::pair{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), false},
                                   std::pair{QKeySequence(Qt::CTRL | Qt::Key_Y), false}}) {
    auto* shortcut = new QShortcut(keys, this);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    connect(shortcut, &QShortcut::activated, document_,
            [this, undo = undo] { undo ? document_->history().undo() : document_->history().redo(); });
  }

  const Plan first = startPlan(start, startNote_);
  // A plan's texts are kept whole: a line edit would cut them at 32,767
  // characters, and a long note opened and saved again would lose its end.
  for (QLineEdit* edit : findChildren<QLineEdit*>()) edit->setMaxLength(std::numeric_limits<int>::max());
  // The other oxide's A and B follow its calculation window.
  document_->reset(first, false);
}

const Plan& EquilibriumDiagramWindow::plan() const { return document_->plan(); }

void EquilibriumDiagramWindow::setPlan(const Plan& plan) {
  startNote_.clear();
  {
    const QSignalBlocker block(session_);  // one redraw, once the plan is in
    blow_->simulateAsSaved(plan);
    document_->reset(plan);
  }
  showChanges(PlanSession::Entries | PlanSession::Curves | PlanSession::Stages | PlanSession::Simulation |
              PlanSession::HeatPath);
}

Reaction EquilibriumDiagramWindow::reaction() const { return session_->entries().family.reaction; }
const CurveFamilyInputs& EquilibriumDiagramWindow::inputs() const { return session_->entries().family; }
const std::vector<StageResult>& EquilibriumDiagramWindow::stageResults() const { return session_->stages().results; }
const StageSettings& EquilibriumDiagramWindow::stageSettings() const { return session_->stages().settings; }
const std::optional<BlowSimulation>& EquilibriumDiagramWindow::simulation() const { return session_->simulation(); }
bool EquilibriumDiagramWindow::bothOxides() const { return document_->plan().bothOxides; }
QString EquilibriumDiagramWindow::planPath() const { return document_->path(); }
void EquilibriumDiagramWindow::redraw() { session_->recompute(); }

void EquilibriumDiagramWindow::setHeatPath(Reaction reaction, const std::vector<MeltState>& states) {
  session_->setHeatPath(reaction, states);
}

void EquilibriumDiagramWindow::windowConstantsChanged(Reaction reaction) { session_->windowConstantsChanged(reaction); }

// Redraws what the session computed anew. Entries that cannot be read keep
// the curves and stages of the last that could; the status line says why.
void EquilibriumDiagramWindow::showChanges(PlanSession::Changes what) {
  if (what & PlanSession::Curves) drawCurves(*parts_.chart, plan(), *session_);
  if (what & PlanSession::Stages) blow_->showStages();
  if (what & PlanSession::Simulation) blow_->showSimulation();
  if (what & PlanSession::Curves) parts_.chart->setChartTitle(chartTitle(plan(), *session_));
  if (what & (PlanSession::Curves | PlanSession::HeatPath)) drawHeatPath(*parts_.chart, *session_);
  if (what & PlanSession::Curves) heats_->show();
  showStatus();
}

QString EquilibriumDiagramWindow::statusText() const { return sessionStatus(plan(), *session_, startNote_); }

// The status line holds two lines; the whole text is its tooltip.
void EquilibriumDiagramWindow::showStatus() {
  const QString text = statusText();
  parts_.status->setText(text);
  parts_.status->setToolTip(text);
}

// Closing a diagram whose plan was changed asks first; the calculation
// windows close without a question, as they always have.
void EquilibriumDiagramWindow::closeEvent(QCloseEvent* event) {
  if (!mayClose()) {
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

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
