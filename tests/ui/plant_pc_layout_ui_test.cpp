// SPDX-License-Identifier: Apache-2.0
// The windows on the plant's screens: run on a 1366×768 screen and on a
// 1920×1080 screen at scale factor 2 (960×540 logical pixels). Whatever the
// screen, every part of the diagram and every button of the calculation
// windows can be brought into sight; where the screen has the room, the
// ledger of a 6-stage blow with its totals and the stage table's answer
// columns are in sight at once. The layout the user leaves is kept.

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <initializer_list>

#include "calc/plan.h"
#include "tests/ui/diagram_test_support.h"
#include "ui/calculator/calculation_window.h"
#include "ui/calculator/main_frame.h"
#include "ui/calculator/plan_menu.h"
#include "ui/diagram/ledger_panel.h"
#include "ui/diagram/sheet_layout.h"
#include "ui/diagram/simulation_panel.h"
#include "ui/diagram/stage_table.h"

using namespace velkarin;
using namespace velkarin::test;

namespace {

Plan sixStagePlan() {
  Plan plan;
  plan.bothOxides = true;
  plan.target = "0.05";
  plan.heat.mass = "80";
  plan.heat.startCarbon = "1.5";
  plan.heat.oxygenFlow = "40";
  plan.stages = {{"3:1", "1600", "0.60"}, {"2:1", "1640", "0.35"}, {"1:1", "1680", "0.20"},
                 {"1:2", "1700", "0.10"}, {"1:3", "1710", "0.06"}, {"1:4", "1720", "0.04"}};
  return plan;
}

// The part of `widget` its windows let the user see, in its own coordinates.
QRect shownPart(const QWidget& widget) { return widget.visibleRegion().boundingRect(); }

bool wholeInSight(const QWidget& widget) { return widget.isVisible() && shownPart(widget) == widget.rect(); }

// The rectangle of a table cell, in the table's viewport, lies inside the viewport.
bool cellInSight(const QTableWidget& table, int row, int column) {
  const QRect cell = table.visualRect(table.model()->index(row, column));
  return !cell.isEmpty() && table.viewport()->rect().contains(cell);
}

bool roomyScreen() {
  const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
  return available.width() >= 1366 && available.height() >= 768;
}

// A drag of a splitter's handle by `dy` pixels, as the mouse does it.
void dragHandle(QSplitter& splitter, int handle, int dy) {
  QWidget* grip = splitter.handle(handle);
  const QPoint from = grip->rect().center();
  const QPoint globalFrom = grip->mapToGlobal(from);
  QMouseEvent press(QEvent::MouseButtonPress, from, globalFrom, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(grip, &press);
  const QPoint to = from + QPoint(0, dy);
  QMouseEvent move(QEvent::MouseMove, to, grip->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(grip, &move);
  QMouseEvent release(QEvent::MouseButtonRelease, to, grip->mapToGlobal(to), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(grip, &release);
}

}  // namespace

class PlantPcLayoutUiTest : public DiagramTestCase {
  Q_OBJECT

  EquilibriumDiagramWindow* maximisedDiagram() {
    SplitterMemory::forget();
    frame_->showMaximized();
    EquilibriumDiagramWindow* diagram = openDiagram();
    diagram->setPlan(sixStagePlan());
    subWindowOf(diagram)->showMaximized();
    QTest::qWait(50);  // the deferred layouts (splitters, scroll areas) done
    return diagram;
  }

 private slots:
  // Maximised on a 1366×768 screen: the ledger's six stages and 合计 and
  // the stage table's answers (p_CO to 余量) need no scrolling.
  void ledger_rows_and_answer_columns_are_in_sight() {
    EquilibriumDiagramWindow* diagram = maximisedDiagram();
    auto* scroll = diagram->findChild<QScrollArea*>(QStringLiteral("diagramScroll"));
    QVERIFY(scroll);
    QTableWidget* ledger = diagram->ledgerPanel()->table();
    QTableWidget* stages = diagram->stageTable()->table();
    QCOMPARE(ledger->rowCount(), 7);
    QCOMPARE(ledger->item(6, 0)->text(), QStringLiteral("合计"));
    if (!roomyScreen()) {
      // 960×540: the diagram fits its frame and scrolls inside it to its
      // bottom, the status line.
      QVERIFY(workspace()->viewport()->rect().contains(subWindowOf(diagram)->geometry()));
      QWidget* status = diagram->findChild<QWidget*>(QStringLiteral("status"));
      scroll->ensureWidgetVisible(status, 0, 0);
      QVERIFY2(wholeInSight(*status),
               qPrintable(QStringLiteral("%1 of %2").arg(shownPart(*status).height()).arg(status->height())));
      return;
    }
    QCOMPARE(scroll->verticalScrollBar()->maximum(), 0);  // the whole diagram in its frame
    QVERIFY2(wholeInSight(*ledger), qPrintable(QStringLiteral("%1×%2 of %3×%4")
                                                   .arg(shownPart(*ledger).width())
                                                   .arg(shownPart(*ledger).height())
                                                   .arg(ledger->width())
                                                   .arg(ledger->height())));
    for (int row = 0; row < ledger->rowCount(); ++row)
      QVERIFY2(cellInSight(*ledger, row, 0), qPrintable(QString::number(row)));
    QVERIFY(wholeInSight(*stages));
    for (const int column : {StageTable::Pressure, StageTable::Governing, StageTable::Margin}) {
      for (int row = 0; row < 3; ++row)
        QVERIFY2(cellInSight(*stages, row, column), qPrintable(QString::number(column)));
    }
    for (const char* name : {"solveTemperature", "copyStages", "saveStages"}) {
      QVERIFY2(wholeInSight(*button(*diagram, name)), name);
    }
  }

  void answer_columns_are_in_sight_with_and_without_simulation_data() {
    QTest::addColumn<bool>("simulating");
    QTest::newRow("模拟 off") << false;
    QTest::newRow("模拟 on") << true;
  }

  // The stage table's answers (p_CO to 余量%C) of the 6-stage blow, with
  // 模拟's three typed columns (石灰, 废钢, 惰性气体) shown or not: on
  // 1366×768 in sight with no sideways scroll; on 960×540 brought into
  // sight by the table's own scrolling.
  void answer_columns_are_in_sight_with_and_without_simulation() {
    QFETCH(bool, simulating);
    EquilibriumDiagramWindow* diagram = maximisedDiagram();
    diagram->simulationPanel()->setSimulating(simulating);
    QTest::qWait(50);  // the table's columns and the splitters laid out again
    QTableWidget* stages = diagram->stageTable()->table();
    QCOMPARE(stages->rowCount(), 6);
    for (const int column : {StageTable::Lime, StageTable::Scrap, StageTable::Inert})
      QCOMPARE(stages->isColumnHidden(column), !simulating);
    const auto widths = [&] {
      QStringList sizes;
      for (int column = 0; column < stages->columnCount(); ++column)
        sizes << QString::number(stages->isColumnHidden(column) ? 0 : stages->columnWidth(column));
      return QStringLiteral("columns %1 in a viewport %2 wide")
          .arg(sizes.join(QLatin1Char(' ')))
          .arg(stages->viewport()->width());
    };
    const std::initializer_list<int> answers{StageTable::Pressure, StageTable::Cr2O3Carbon, StageTable::Cr3O4Carbon,
                                             StageTable::Governing, StageTable::Margin};
    if (!roomyScreen()) {
      for (const int column : answers) {
        stages->scrollTo(stages->model()->index(0, column));
        QVERIFY2(cellInSight(*stages, 0, column), qPrintable(QString::number(column) + QLatin1Char(' ') + widths()));
      }
      return;
    }
    QVERIFY(wholeInSight(*stages));
    QVERIFY2(stages->horizontalScrollBar()->maximum() == 0, qPrintable(widths()));
    for (const int column : answers) {
      for (int row = 0; row < 3; ++row)
        QVERIFY2(cellInSight(*stages, row, column), qPrintable(QString::number(column) + QLatin1Char(' ') + widths()));
    }
    // Narrow, but no answer cut: each text is narrower than its column.
    for (const int column : answers) {
      for (int row = 0; row < stages->rowCount(); ++row) {
        const QString text = stages->item(row, column)->text();
        QVERIFY2(!text.isEmpty() && stages->fontMetrics().horizontalAdvance(text) < stages->columnWidth(column),
                 qPrintable(text + QLatin1Char(' ') + widths()));
      }
    }
  }

  // 计算, 退出 and 清除列表 of both calculation windows: focused (Tab) from
  // the window's first box, each is scrolled into the workspace's sight.
  void calculation_buttons_are_reachable() {
    for (const Reaction reaction : {Reaction::Cr2O3, Reaction::Cr3O4}) {
      CalculationWindow* window = frame_->showCalculationWindow(reaction);
      frame_->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
      for (const char* name : {"Command1", "Command2", "Command3"}) {
        QPushButton* pushed = button(*window, name);
        QVERIFY(pushed);
        // From the window's first box, as Tab comes to the button.
        textBox(*window, 1)->setFocus(Qt::TabFocusReason);
        pushed->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        const QRect inViewport(pushed->mapTo(workspace()->viewport(), QPoint(0, 0)), pushed->size());
        QVERIFY2(wholeInSight(*pushed), qPrintable(QStringLiteral("%1 %2: %3×%4 shown at %5,%6 in %7×%8")
                                                       .arg(window->objectName(), name)
                                                       .arg(shownPart(*pushed).width())
                                                       .arg(shownPart(*pushed).height())
                                                       .arg(inViewport.x())
                                                       .arg(inViewport.y())
                                                       .arg(workspace()->viewport()->width())
                                                       .arg(workspace()->viewport()->height())));
      }
    }
  }

  // 放大 gives the sheets the chart's room, 还原 gives it back; a moved
  // splitter is where the next diagram opens.
  void sheets_enlarge_and_the_layout_is_kept() {
    EquilibriumDiagramWindow* diagram = maximisedDiagram();
    auto* sheet = diagram->findChild<QSplitter*>(QStringLiteral("planAndLedger"));
    auto* enlarge = diagram->findChild<QToolButton*>(QStringLiteral("enlargeSheets"));
    QVERIFY(sheet && enlarge);
    const int before = diagram->ledgerPanel()->height();
    enlarge->click();
    QApplication::processEvents();
    QVERIFY(!diagram->chartView()->isVisible());
    QVERIFY(diagram->ledgerPanel()->height() > before);
    enlarge->click();
    QVERIFY(diagram->chartView()->isVisible());
    QTRY_COMPARE(diagram->ledgerPanel()->height(), before);

    // On 960×540 both parts are at their least height already (the diagram
    // scrolls): nothing to drag.
    if (!roomyScreen()) return;
    const QList<int> sizes = sheet->sizes();
    dragHandle(*sheet, 1, 40);  // down: the chart above is at its least height on a small screen
    const QList<int> moved = sheet->sizes();
    QVERIFY(moved[1] < sizes[1]);
    diagram->setWindowModified(false);
    subWindowOf(diagram)->close();
    QApplication::processEvents();
    EquilibriumDiagramWindow* again = openDiagram();
    subWindowOf(again)->showMaximized();
    QApplication::processEvents();
    QTRY_COMPARE(again->findChild<QSplitter*>(QStringLiteral("planAndLedger"))->sizes(), moved);
    SplitterMemory::forget();
  }
};

QTEST_MAIN(PlantPcLayoutUiTest)
#include "plant_pc_layout_ui_test.moc"
