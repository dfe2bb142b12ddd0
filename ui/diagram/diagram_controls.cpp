// SPDX-License-Identifier: Apache-2.0
// The controls of the equilibrium diagram window: the two rows of entries
// above the chart, the chart and the stage table side by side, the pointer
// readout and the status line; and the texts they show: the chart title and
// the status line's notes.

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>
#include <string>
#include <utility>

#include "calc/reaction_data.h"
#include "ui/diagram/chart_marks.h"
#include "ui/diagram/diagram_input.h"
#include "ui/diagram/diagram_rows.h"
#include "ui/diagram/entries_bar.h"
#include "ui/diagram/entry_bindings.h"
#include "ui/diagram/equilibrium_chart_view.h"
#include "ui/diagram/equilibrium_diagram_window.h"
#include "ui/diagram/heats_panel.h"
#include "ui/diagram/ledger_panel.h"
#include "ui/diagram/session_view.h"
#include "ui/diagram/sheet_layout.h"
#include "ui/diagram/simulation_panel.h"
#include "ui/diagram/stage_table.h"
#include "ui/model/plan_document.h"
#include "ui/model/plan_session.h"

namespace velkarin {

using namespace diagram;

namespace {

// A column whose height does not follow its width: the scroll area around
// the diagram then scrolls only below the parts' least heights, not below
// their preferred ones (a word-wrapped label or a tab would ask for those).
class MinimumHeightLayout : public QVBoxLayout {
 public:
  using QVBoxLayout::QVBoxLayout;
  bool hasHeightForWidth() const override { return false; }
};

}  // namespace

// The chart (and, once heats are imported, their parity plot as a tab beside
// it) and the stage table side by side, with a splitter between them.
QSplitter* EquilibriumDiagramWindow::createChartAndStages() {
  chartView_ = new EquilibriumChartView(this);
  // Reachable by Tab, with a frame that shows it has the keyboard.
  chartView_->setFocusPolicy(Qt::StrongFocus);
  chartView_->setStyleSheet(QStringLiteral("QChartView:focus { border: 2px solid palette(highlight); }"));
  stageTable_ = new StageTable(*document_, this);
  stageTable_->setConditionSource([this] {
    Plan conditions = plan();
    conditions.stages.clear();
    return planConditions(conditions);
  });
  auto* splitter = new QSplitter(Qt::Horizontal, this);
  chartTabs_ = new QTabWidget(this);
  chartTabs_->setObjectName(QStringLiteral("chartTabs"));
  chartTabs_->setDocumentMode(true);
  chartTabs_->setTabBarAutoHide(true);
  chartTabs_->addTab(chartView_, QStringLiteral("平衡曲线"));
  splitter->addWidget(chartTabs_);
  splitter->addWidget(stageTable_);
  splitter->setStretchFactor(0, 1);  // the chart takes what the stage table leaves
  splitter->setStretchFactor(1, 0);
  splitter->setChildrenCollapsible(false);
  splitter->setObjectName(QStringLiteral("chartAndStages"));
  return splitter;
}

// The sheets under chart and stages, over the whole width for the ledger's
// 13 columns: 物料平衡 and 吹炼模拟, and once heats are imported their table.
QTabWidget* EquilibriumDiagramWindow::createSheets() {
  ledgerPanel_ = new LedgerPanel(this);
  for (const auto& [name, place] : {std::pair{"heatMass", "heat/mass"}, std::pair{"startCarbon", "heat/startCarbon"},
                                    std::pair{"oxygenFlow", "heat/oxygenFlow"},
                                    std::pair{"fesiGrade", "heat/fesiGrade"}, std::pair{"basicity", "heat/basicity"}}) {
    bindings_->bind(ledgerPanel_->findChild<QLineEdit*>(QString::fromUtf8(name)), place);
  }
  sheetTabs_ = new QTabWidget(this);
  sheetTabs_->setObjectName(QStringLiteral("sheetTabs"));
  sheetTabs_->setDocumentMode(true);
  sheetTabs_->addTab(ledgerPanel_, QStringLiteral("物料平衡"));
  simulationPanel_ = new SimulationPanel(this);
  for (const char* name : {"startTemperature", "slagMass", "rateConstant", "heatLoss", "reductionTime"}) {
    bindings_->bind(simulationPanel_->findChild<QLineEdit*>(QString::fromUtf8(name)), std::string("heat/") + name);
  }
  sheetTabs_->addTab(simulationPanel_, QStringLiteral("吹炼模拟"));
  return sheetTabs_;
}

// The pointer's readout and the status line side by side: the chart keeps the height.
QHBoxLayout* EquilibriumDiagramWindow::createStatusRow() {
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("status"));
  status_->setWordWrap(true);
  // Always two lines tall, so the chart does not jump as the notes come and go.
  status_->setFixedHeight(2 * status_->fontMetrics().lineSpacing() + 2);
  status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  pointer_ = new QLabel(this);
  pointer_->setObjectName(QStringLiteral("pointer"));
  pointer_->setText(pointerHint);
  connect(chartView_, &EquilibriumChartView::pointDescribed, pointer_,
          [this](const QString& text) { pointer_->setText(text.isEmpty() ? pointerHint : text); });
  auto* row = new QHBoxLayout;
  row->setSpacing(24);
  row->addWidget(pointer_, 0, Qt::AlignTop);
  row->addWidget(status_, 1);
  return row;
}

void EquilibriumDiagramWindow::createControls() {
  entries_ = new EntriesBar(*document_, *bindings_, this);
  QSplitter* chartAndStages = createChartAndStages();
  // A splitter between the two; the sheets keep the height they ask for
  // (a 6-stage ledger with its totals), the chart takes the rest.
  auto* sheet = new QSplitter(Qt::Vertical, this);
  sheet->setObjectName(QStringLiteral("planAndLedger"));
  sheet->addWidget(chartAndStages);
  sheet->addWidget(createSheets());
  sheet->setStretchFactor(0, 1);
  sheet->setStretchFactor(1, 0);
  sheet->setChildrenCollapsible(false);
  sheetTabs_->setCornerWidget(new SheetEnlarger(*sheet, sheetTabs_), Qt::TopRightCorner);
  new SplitterMemory({sheet, chartAndStages}, this);

  auto* content = new QWidget(this);
  content->setObjectName(QStringLiteral("diagramContent"));
  auto* layout = new MinimumHeightLayout(content);
  // Narrow margins: on a 768-line screen every line counts.
  layout->setContentsMargins(6, 2, 6, 0);
  layout->setSpacing(4);
  layout->addWidget(entries_);
  layout->addWidget(sheet, 1);
  layout->addLayout(createStatusRow());
  // Below the size its controls need (a small screen, a high scale factor)
  // the diagram scrolls inside its frame, maximised too, instead of cutting
  // off its bottom.
  auto* scroll = new QScrollArea(this);
  scroll->setObjectName(QStringLiteral("diagramScroll"));
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  scroll->setWidget(content);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(scroll);
}

// The status line holds two lines; the whole text is its tooltip.
void EquilibriumDiagramWindow::showStatus() {
  const QString text = statusText();
  status_->setText(text);
  status_->setToolTip(text);
}

QString EquilibriumDiagramWindow::statusText() const { return sessionStatus(plan(), *session_, startNote_); }

}  // namespace velkarin
