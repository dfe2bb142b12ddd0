// SPDX-License-Identifier: Apache-2.0
#pragma once

// Where the diagram's sheets show what they hold: the window (parent of
// their dialogs), its chart, the chart's and the sheets' tabs, and the
// pointer's line under the chart.

class QLabel;
class QTabWidget;
class QWidget;

namespace velkarin {

class EquilibriumChartView;

struct SheetPlaces {
  QWidget* window = nullptr;
  EquilibriumChartView* chart = nullptr;
  QTabWidget* chartTabs = nullptr;
  QTabWidget* sheetTabs = nullptr;
  QLabel* pointer = nullptr;
};

}  // namespace velkarin
