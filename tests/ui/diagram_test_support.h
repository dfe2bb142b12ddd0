// SPDX-License-Identifier: Apache-2.0
#pragma once

// Helpers of the equilibrium diagram's UI tests: its controls by name, the
// curves and the heat point as drawn, and a test case that opens the diagram
// through the menu and calculates in the real windows.

#include <QByteArray>
#include <QLineSeries>
#include <QList>
#include <QPointF>
#include <optional>
#include <vector>

#include "calc/equilibrium_curve.h"
#include "calc/plan.h"
#include "tests/ui/ui_test_support.h"
#include "ui/diagram/equilibrium_chart_view.h"
#include "ui/diagram/equilibrium_diagram_window.h"

class QComboBox;
class QLineEdit;
class QMdiArea;
class QMdiSubWindow;

namespace velkarin::test {

using Points = QList<QPointF>;

QLineEdit* entry(const QWidget& diagram, const char* name);
QComboBox* diagramCombo(const QWidget& diagram, const char* name);
QString labelText(const QWidget& diagram, const char* name);

// Every point drawn for one curve, its stretches between gaps joined.
Points drawnPoints(const EquilibriumDiagramWindow& diagram, std::size_t curve);
std::vector<Points> drawnFamily(const EquilibriumDiagramWindow& diagram);
// The core's curve as chart points, gaps left out.
Points corePoints(const EquilibriumCurve& curve);
// The entries of the legend as drawn (the legend lays its markers out, and
// shows them, from the event loop).
QStringList legendNames(const EquilibriumChartView& view);
std::optional<QPointF> heatPoint(const EquilibriumDiagramWindow& diagram);

// Answers the next message box by the button with `text` (from the event
// loop, once the box is shown).
void answerQuestionWith(const QString& text);

// A plan away from every default, its entries good enough to draw.
Plan shiftPlan();
// The whole file, or nothing when it cannot be read.
QByteArray fileBytes(const QString& path);

// Prompt answers: t, C and optionally Cr typed, the rest kept.
QList<PromptAnswer> answers(const QString& temperature, const QString& carbon, const QString& chromium = {});

class DiagramTestCase : public FrameTestCase {
  Q_OBJECT

 protected:
  QMdiArea* workspace() const;
  static QMdiSubWindow* subWindowOf(QWidget* window);
  EquilibriumDiagramWindow* openDiagram();
  // Calculates in `window` with the answers; the offscreen platform leaves
  // no window active after a dialog, so the frame is activated again as a
  // window manager would.
  void calculate(CalculationWindow* window, const QList<PromptAnswer>& script);
};

}  // namespace velkarin::test
