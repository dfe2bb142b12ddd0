// SPDX-License-Identifier: Apache-2.0
#include "ui/diagram/diagram_layout.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>
#include <string>
#include <utility>

#include "ui/diagram/diagram_rows.h"
#include "ui/diagram/entries_bar.h"
#include "ui/diagram/entry_bindings.h"
#include "ui/diagram/equilibrium_chart_view.h"
#include "ui/diagram/ledger_panel.h"
#include "ui/diagram/sheet_layout.h"
#include "ui/diagram/simulation_panel.h"
#include "ui/diagram/stage_table.h"
#include "ui/model/plan_document.h"

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

// The chart (and, once heats are imported, their parity plot as a tab beside
// it) and the stage table side by side, with a splitter between them.
QSplitter* createChartAndStages(QWidget* window, PlanDocument& document, DiagramParts& parts) {
  parts.chart = new EquilibriumChartView(window);
  // Reachable by Tab, with a frame that shows it has the keyboard.
  parts.chart->setFocusPolicy(Qt::StrongFocus);
  parts.chart->setStyleSheet(QStringLiteral("QChartView:focus { border: 2px solid palette(highlight); }"));
  parts.stages = new StageTable(document, window);
  parts.stages->setConditionSource([&document] {
    Plan conditions = document.plan();
    conditions.stages.clear();
    return planConditions(conditions);
  });
  auto* splitter = new QSplitter(Qt::Horizontal, window);
  parts.chartTabs = new QTabWidget(window);
  parts.chartTabs->setObjectName(QStringLiteral("chartTabs"));
  parts.chartTabs->setDocumentMode(true);
  parts.chartTabs->setTabBarAutoHide(true);
  parts.chartTabs->addTab(parts.chart, QStringLiteral("平衡曲线"));
  splitter->addWidget(parts.chartTabs);
  splitter->addWidget(parts.stages);
  splitter->setStretchFactor(0, 1);  // the chart takes what the stage table leaves
  splitter->setStretchFactor(1, 0);
  splitter->setChildrenCollapsible(false);
  splitter->setObjectName(QStringLiteral("chartAndStages"));
  return splitter;
}

// The sheets under chart and stages, over the whole width for the ledger's
// 13 columns: 物料平衡 and 吹炼模拟, and once heats are imported their table.
QTabWidget* createSheets(QWidget* window, EntryBindings& bindings, DiagramParts& parts) {
  parts.ledger = new LedgerPanel(window);
  for (const auto& [name, place] : {std::pair{"heatMass", "heat/mass"}, std::pair{"startCarbon", "heat/startCarbon"},
                                    std::pair{"oxygenFlow", "heat/oxygenFlow"},
                                    std::pair{"fesiGrade", "heat/fesiGrade"}, std::pair{"basicity", "heat/basicity"}}) {
    bindings.bind(parts.ledger->findChild<QLineEdit*>(QString::fromUtf8(name)), place);
  }
  parts.sheetTabs = new QTabWidget(window);
  parts.sheetTabs->setObjectName(QStringLiteral("sheetTabs"));
  parts.sheetTabs->setDocumentMode(true);
  parts.sheetTabs->addTab(parts.ledger, QStringLiteral("物料平衡"));
  parts.simulation = new SimulationPanel(window);
  for (const char* name : {"startTemperature", "slagMass", "rateConstant", "heatLoss", "reductionTime"}) {
    bindings.bind(parts.simulation->findChild<QLineEdit*>(QString::fromUtf8(name)), std::string("heat/") + name);
  }
  parts.sheetTabs->addTab(parts.simulation, QStringLiteral("吹炼模拟"));
  return parts.sheetTabs;
}

// The pointer's readout and the status line side by side: the chart keeps the height.
QHBoxLayout* createStatusRow(QWidget* window, DiagramParts& parts) {
  parts.status = new QLabel(window);
  parts.status->setObjectName(QStringLiteral("status"));
  parts.status->setWordWrap(true);
  // Always two lines tall, so the chart does not jump as the notes come and go.
  parts.status->setFixedHeight(2 * parts.status->fontMetrics().lineSpacing() + 2);
  parts.status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  parts.pointer = new QLabel(window);
  parts.pointer->setObjectName(QStringLiteral("pointer"));
  parts.pointer->setText(pointerHint);
  QObject::connect(
      parts.chart, &EquilibriumChartView::pointDescribed, parts.pointer,
      [pointer = parts.pointer](const QString& text) { pointer->setText(text.isEmpty() ? pointerHint : text); });
  auto* row = new QHBoxLayout;
  row->setSpacing(24);
  row->addWidget(parts.pointer, 0, Qt::AlignTop);
  row->addWidget(parts.status, 1);
  return row;
}

}  // namespace

DiagramParts layOutDiagram(QWidget& diagram, PlanDocument& document, EntryBindings& bindings) {
  DiagramParts parts;
  QWidget* window = &diagram;
  parts.entries = new EntriesBar(document, bindings, window);
  QSplitter* chartAndStages = createChartAndStages(window, document, parts);
  // A splitter between the two; the sheets keep the height they ask for
  // (a 6-stage ledger with its totals), the chart takes the rest.
  auto* sheet = new QSplitter(Qt::Vertical, window);
  sheet->setObjectName(QStringLiteral("planAndLedger"));
  sheet->addWidget(chartAndStages);
  sheet->addWidget(createSheets(window, bindings, parts));
  sheet->setStretchFactor(0, 1);
  sheet->setStretchFactor(1, 0);
  sheet->setChildrenCollapsible(false);
  parts.sheetTabs->setCornerWidget(new SheetEnlarger(*sheet, parts.sheetTabs), Qt::TopRightCorner);
  new SplitterMemory({sheet, chartAndStages}, window);

  auto* content = new QWidget(window);
  content->setObjectName(QStringLiteral("diagramContent"));
  auto* layout = new MinimumHeightLayout(content);
  // Narrow margins: on a 768-line screen every line counts.
  layout->setContentsMargins(6, 2, 6, 0);
  layout->setSpacing(4);
  layout->addWidget(parts.entries);
  layout->addWidget(sheet, 1);
  layout->addLayout(createStatusRow(window, parts));
  // Below the size its controls need (a small screen, a high scale factor)
  // the diagram scrolls inside its frame, maximised too, instead of cutting
  // off its bottom.
  auto* scroll = new QScrollArea(window);
  scroll->setObjectName(QStringLiteral("diagramScroll"));
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  scroll->setWidget(content);
  auto* outer = new QVBoxLayout(window);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(scroll);
  return parts;
}

}  // namespace velkarin
