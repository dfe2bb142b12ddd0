// SPDX-License-Identifier: Apache-2.0
#pragma once

// The equilibrium diagram's views laid out in its window: the entries on
// top; the chart (and later the heats' parity plot as a tab beside it) and
// the stage table side by side; under them the sheets (物料平衡, 吹炼模拟, and
// later the heats' and the calibration's) over the whole width, each split
// from the rest by a splitter the user can move (remembered), the sheets
// enlarged by 放大; the pointer's readout and the status line at the bottom.
// Below the size the views need the whole scrolls inside the window.

class QLabel;
class QTabWidget;
class QWidget;

namespace velkarin {

class EntriesBar;
class EntryBindings;
class EquilibriumChartView;
class LedgerPanel;
class PlanDocument;
class SimulationPanel;
class StageTable;

struct DiagramParts {
  EntriesBar* entries = nullptr;
  EquilibriumChartView* chart = nullptr;
  QTabWidget* chartTabs = nullptr;  // the chart, and once heats are imported 实测对比
  StageTable* stages = nullptr;
  QTabWidget* sheetTabs = nullptr;  // 物料平衡, 吹炼模拟, and once imported 炉次数据 and 模型校准
  LedgerPanel* ledger = nullptr;
  SimulationPanel* simulation = nullptr;
  QLabel* status = nullptr;
  QLabel* pointer = nullptr;
};

// Creates the views as children of `diagram`, the entries and sheets bound
// to the document's plan, and lays them out.
DiagramParts layOutDiagram(QWidget& diagram, PlanDocument& document, EntryBindings& bindings);

}  // namespace velkarin
