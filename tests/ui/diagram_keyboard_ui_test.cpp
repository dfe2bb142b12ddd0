// SPDX-License-Identifier: Apache-2.0
// The diagram as a careful desktop program: Tab through the stage table's
// typed cells and out, Tab out of the heats table, Enter on a focused
// button, 添加 ready for typing, undo and redo, the question before a
// changed diagram is discarded, and a legend and axes that read.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUndoStack>
#include <QValueAxis>
#include <functional>

#include "calc/blow_stage.h"
#include "calc/plan.h"
#include "tests/ui/diagram_test_support.h"
#include "ui/calculator/calculation_window.h"
#include "ui/calculator/main_frame.h"
#include "ui/common/qt_text.h"
#include "ui/common/song_font.h"
#include "ui/diagram/chart_marks.h"
#include "ui/diagram/heats_panel.h"
#include "ui/diagram/ledger_panel.h"
#include "ui/diagram/stage_table.h"
#include "words/chinese.h"

using namespace velkarin;
using namespace velkarin::test;

namespace {

const std::vector<BlowStage> threeStages{{"3:1", "1600", "0.60"}, {"1:1", "1680", "0.15"}, {"1:3", "1720", "0.04"}};

void fill(StageTable& stages, const std::vector<BlowStage>& rows) {
  for (std::size_t i = 0; i < rows.size(); ++i) stages.insertStage(static_cast<int>(i), rows[i]);
}

QPoint currentCell(const QTableWidget& table) { return {table.currentColumn(), table.currentRow()}; }

}  // namespace

class DiagramKeyboardUiTest : public DiagramTestCase {
  Q_OBJECT

 private slots:
  // Tab goes gas → t → C → O2, row by row, then out of the table; Shift+Tab
  // comes back to the last typed cell. Computed cells are never current.
  void tab_walks_the_typed_cells_and_leaves_the_table() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    StageTable* stages = diagram->stageTable();
    fill(*stages, {threeStages[0], threeStages[1]});
    QTableWidget* table = stages->table();
    frame_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
    table->setFocus();
    table->setCurrentCell(0, StageTable::Gas);
    QTRY_VERIFY(table->hasFocus());
    const QList<QPoint> walk{{1, 0}, {2, 0}, {3, 0}, {0, 1}, {1, 1}, {2, 1}, {3, 1}};
    for (const QPoint& expected : walk) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(currentCell(*table), expected);
      QVERIFY(table->hasFocus());
    }
    QTest::keyClick(table, Qt::Key_Tab);
    QTRY_VERIFY(!table->hasFocus());  // out, to the next control
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QTRY_VERIFY(table->hasFocus());
    QCOMPARE(currentCell(*table), QPoint(3, 1));
    QTest::keyClick(table, Qt::Key_Right);  // no further: p_CO is computed
    QCOMPARE(currentCell(*table), QPoint(3, 1));
    QVERIFY(!(table->item(0, StageTable::Pressure)->flags() & Qt::ItemIsSelectable));
  }

  // Tab and Shift+Tab leave the heats table for the next and the previous
  // control instead of walking its cells.
  void tab_leaves_the_heats_table_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Tab") << int(Qt::Key_Tab);
    QTest::newRow("Shift+Tab") << int(Qt::Key_Backtab);
  }
  void tab_leaves_the_heats_table() {
    QFETCH(int, key);
    EquilibriumDiagramWindow* diagram = openDiagram();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("heats.csv"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("reaction,t,C,Cr,Ni,Si,Mn,pCO\nCr2O3,1600,0.6,18,9,0,0,86850\nCr2O3,1680,0.1,18,9,0,0,67550\n");
    file.close();
    QVERIFY(!diagram->importHeats(path));
    diagram->findChild<QTabWidget*>(QStringLiteral("sheetTabs"))->setCurrentWidget(diagram->heatsPanel());
    QTableView* table = diagram->heatsPanel()->table();
    frame_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
    table->setFocus();
    table->setCurrentIndex(table->model()->index(0, 1));
    QTRY_VERIFY(table->hasFocus());
    QTest::keyClick(table, Qt::Key(key));
    QTRY_VERIFY(!table->hasFocus());
    QCOMPARE(table->currentIndex(), table->model()->index(0, 1));
    if (key == Qt::Key_Tab) QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("fitLine"));
  }

  // Enter, the main keyboard's or the keypad's, presses the focused button
  // as Space does: the diagram's 求温度, a calculation window's 清除列表.
  void enter_presses_the_focused_button_data() {
    QTest::addColumn<bool>("diagramButton");  // 求温度; false: 清除列表
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("求温度, Return") << true << int(Qt::Key_Return) << int(Qt::NoModifier);
    QTest::newRow("求温度, keypad Enter") << true << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
    QTest::newRow("清除列表, Return") << false << int(Qt::Key_Return) << int(Qt::NoModifier);
    QTest::newRow("清除列表, keypad Enter") << false << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
  }
  void enter_presses_the_focused_button() {
    QFETCH(bool, diagramButton);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QPushButton* pressed = nullptr;
    std::function<bool()> done;
    if (diagramButton) {
      EquilibriumDiagramWindow* diagram = openDiagram();
      fill(*diagram->stageTable(), threeStages);
      entry(*diagram, "target")->setText(QStringLiteral("0.1"));
      diagram->stageTable()->table()->setCurrentCell(1, StageTable::Gas);
      pressed = diagram->findChild<QPushButton*>(QStringLiteral("solveTemperature"));
      QCOMPARE(labelText(*diagram, "stageSolution"), QString());
      done = [diagram] { return labelText(*diagram, "stageSolution").startsWith(QStringLiteral("第2段")); };
    } else {
      CalculationWindow* form = frame_->showCalculationWindow(Reaction::Cr2O3);
      fillWithWorkedExample(form);
      pressed = button(*form, "Command3");
      done = [form] { return listLines(*form).isEmpty(); };
    }
    frame_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
    pressed->setFocus();
    QTRY_VERIFY(pressed->hasFocus());
    QVERIFY(!done());
    QTest::keyClick(pressed, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QVERIFY(done());
  }

  // 添加 leaves the cursor in the new row's first cell, in its editor: what
  // is typed next lands there.
  void adding_a_stage_puts_the_cursor_into_it() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    StageTable* stages = diagram->stageTable();
    fill(*stages, {threeStages[0]});
    frame_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
    diagram->findChild<QPushButton*>(QStringLiteral("addStage"))->click();
    QTRY_VERIFY(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("1:1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);  // the editor commits from the event loop
    QTRY_COMPARE(stages->table()->item(1, StageTable::Gas)->text(), QStringLiteral("1:1"));
    QCOMPARE(stages->stages().size(), 2u);
    QCOMPARE(stages->table()->currentRow(), 1);
    QCOMPARE(diagram->stageResults()[1].issue, StageIssue::TemperatureEmpty);  // its gas was read
  }

  // Delete, edit and move are undone and redone in order, by key.
  void undo_and_redo_a_delete_an_edit_and_a_move() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    StageTable* stages = diagram->stageTable();
    fill(*stages, threeStages);
    QTableWidget* table = stages->table();
    frame_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
    table->setFocus();
    table->setCurrentCell(1, StageTable::Gas);
    QTest::keyClick(table, Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(stages->stages(), (std::vector<BlowStage>{threeStages[0], threeStages[2]}));
    QTest::keyClick(table, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(stages->stages(), threeStages);
    QCOMPARE(diagram->stageResults().size(), 3u);  // the results follow the undo
    QTest::keyClick(table, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(stages->stages().size(), 2u);
    QTest::keyClick(table, Qt::Key_Z, Qt::ControlModifier);

    table->item(0, StageTable::Temperature)->setText(QStringLiteral("1610"));
    stages->moveCurrentStage(+1);
    QCOMPARE(stages->undoStack()->count(), 5);  // three inserts, the edit, the move
    stages->undoStack()->undo();                // the move
    stages->undoStack()->undo();                // the edit
    QCOMPARE(stages->stages(), threeStages);
    stages->undoStack()->redo();
    QCOMPARE(stages->stages()[0].temperature, std::string("1610"));
  }

  // Undoing the stage edits back to the plan as opened leaves nothing to
  // save: the diagram then closes without a question.
  void undoing_back_to_the_opened_plan_is_not_modified() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    Plan plan;
    plan.stages = threeStages;
    diagram->setPlan(plan);
    QVERIFY(!diagram->isWindowModified());
    StageTable* stages = diagram->stageTable();
    stages->table()->item(0, StageTable::Temperature)->setText(QStringLiteral("1610"));
    stages->moveCurrentStage(+1);
    QVERIFY(diagram->isWindowModified());
    stages->undoStack()->undo();
    QVERIFY(diagram->isWindowModified());
    stages->undoStack()->undo();
    QVERIFY(!diagram->isWindowModified());
    QVERIFY(!subWindowOf(diagram)->isWindowModified());
    stages->undoStack()->redo();  // and forward again: a change once more
    QVERIFY(diagram->isWindowModified());
    stages->undoStack()->undo();
    subWindowOf(diagram)->close();  // no question: the watchdog fails a dialog nobody answers
    QTRY_VERIFY(!frame_->diagramWindow());
  }

  // Typing into an entry is one step of the plan's history: Ctrl+Z from
  // elsewhere in the diagram (here the chart) takes the whole word back, the
  // curves follow, and the plan is as opened again.
  void ctrl_z_in_the_diagram_undoes_a_typed_entry_as_one_step() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    frame_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
    auto* chromium = diagram->findChild<QLineEdit*>(QStringLiteral("Cr"));
    const QString before = chromium->text();
    const double curvesBefore = diagram->inputs().composition.chromium;
    chromium->setFocus();
    chromium->selectAll();
    QTest::keyClicks(chromium, QStringLiteral("12.5"));
    QCOMPARE(diagram->inputs().composition.chromium, 12.5);
    QCOMPARE(diagram->stageTable()->undoStack()->count(), 1);
    QVERIFY(diagram->isWindowModified());
    diagram->chartView()->setFocus();
    QTest::keyClick(diagram->chartView(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(chromium->text(), before);
    QCOMPARE(diagram->inputs().composition.chromium, curvesBefore);
    QVERIFY(!diagram->isWindowModified());
    QTest::keyClick(diagram->chartView(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(chromium->text(), QStringLiteral("12.5"));
    QTest::keyClick(diagram->chartView(), Qt::Key_Z, Qt::ControlModifier);
    subWindowOf(diagram)->close();  // nothing changed: no question
    QTRY_VERIFY(!frame_->diagramWindow());
  }

  // A diagram with changes asks before it is closed (Ctrl+W too); 取消
  // keeps it, 不保存 discards it; an unchanged one closes without a word.
  void closing_a_changed_diagram_asks() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    QMdiSubWindow* sub = subWindowOf(diagram);
    QVERIFY(!diagram->isWindowModified());
    QTest::keyClicks(entry(*diagram, "target"), QStringLiteral("0.03"));
    QVERIFY(diagram->isWindowModified());
    answerQuestionWith(QStringLiteral("取消"));
    sub->close();
    QTest::qWait(50);
    QVERIFY(frame_->diagramWindow());
    answerQuestionWith(QStringLiteral("不保存"));
    sub->close();
    QTRY_VERIFY(!frame_->diagramWindow());

    EquilibriumDiagramWindow* fresh = openDiagram();
    subWindowOf(fresh)->close();  // nothing changed: no question
    QTRY_VERIFY(!frame_->diagramWindow());
  }

  // At the diagram's default size every legend label shows whole, the title
  // keeps A and B with both oxides, and the temperature labels fit between
  // their ticks.
  void legend_title_and_axis_read_at_the_default_size() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    entry(*diagram, "pressures")->setText(QStringLiteral("101325, 100000, 3:1, 1:3"));
    entry(*diagram, "target")->setText(QStringLiteral("0.03"));
    diagram->findChild<QCheckBox*>(QStringLiteral("bothOxides"))->setChecked(true);
    EquilibriumChartView* view = diagram->chartView();
    const QStringList names = legendNames(*view);
    QVERIFY(names.contains(QStringLiteral("100000 Pa (0.987)")));  // never "1e+05 Pa"
    QLegend* legend = view->chart()->legend();
    const QFontMetrics metrics(legend->font());
    for (const QString& name : names) {
      QVERIFY2(metrics.horizontalAdvance(name) + 20 <= legend->geometry().width(), qPrintable(name));
    }
    // Switching the reaction and back leaves no empty entry in the legend.
    diagramCombo(*diagram, "reaction")->setCurrentIndex(1);
    diagramCombo(*diagram, "reaction")->setCurrentIndex(0);
    QVERIFY2(!legendNames(*view).contains(QString()), qPrintable(legendNames(*view).join(QLatin1Char('|'))));
    QVERIFY(view->chartTitle().contains(QStringLiteral("A=739938")));
    QVERIFY(view->chartTitle().contains(QStringLiteral("A=697890")));
    const QValueAxis* axis = view->temperatureAxis();
    const qreal spacing = view->chart()->plotArea().width() / (axis->tickCount() - 1);
    QVERIFY(spacing >= QFontMetrics(axis->labelsFont()).horizontalAdvance(QStringLiteral("1900")));
    // The temperature labels and the axis title below the plot are inside the view.
    const int below = 2 * QFontMetrics(axis->labelsFont()).height();
    QVERIFY(view->chart()->plotArea().bottom() + below <= view->viewport()->height());
  }

  // The ledger under the stages follows the heat's entries and every edit
  // of the stages, as the core books it.
  void the_ledger_follows_the_entries_and_the_stages() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    entry(*diagram, "Si")->setText(QStringLiteral("0.3"));
    StageTable* stages = diagram->stageTable();
    fill(*stages, {{"4:1", "1600", "0.60", "950"}, {"3:1", "1650", "0.30", "250"}});
    QTableWidget* ledger = diagram->ledgerPanel()->table();
    QCOMPARE(ledger->item(0, 12)->text(), QStringLiteral("请输入炉重W（t）"));
    entry(*diagram, "heatMass")->setText(QStringLiteral("80"));
    entry(*diagram, "startCarbon")->setText(QStringLiteral("1.5"));
    QCOMPARE(ledger->item(0, 2)->text(), QStringLiteral("950.0"));
    QCOMPARE(ledger->item(0, 9)->text(), QStringLiteral("268.0"));  // Cr oxidised, kg
    QCOMPARE(ledger->item(2, 0)->text(), QStringLiteral("合计"));
    stages->table()->item(1, StageTable::Oxygen)->setText(QString());  // O2 from η now
    QCOMPARE(ledger->item(1, 2)->text(), QStringLiteral("223.9"));
    QVERIFY(diagram->ledgerPanel()->tsv().startsWith(QStringLiteral("阶段\t气体比或CO分压\tO2/Nm³")));
    stages->table()->item(1, StageTable::Oxygen)->setText(QStringLiteral("100"));
    QCOMPARE(ledger->item(1, 12)->text(), QStringLiteral("吹氧100 Nm³少于脱碳所需的223.9 Nm³"));
  }

  // A stage shown red (end carbon below its governing equilibrium carbon)
  // with an empty O2 cell is booked at η: its row says that its figures
  // assume an efficiency it cannot reach, in the margin's red; a stage above
  // its equilibrium has a clean row.
  void a_red_stage_booked_at_eta_says_its_efficiency_cannot_be_reached() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    entry(*diagram, "heatMass")->setText(QStringLiteral("80"));
    entry(*diagram, "startCarbon")->setText(QStringLiteral("1.5"));
    StageTable* stages = diagram->stageTable();
    fill(*stages, {{"4:1", "1600", "0.60", ""}, {"4:1", "1600", "0.05", ""}});  // margins +0.18, −0.37
    QTableWidget* ledger = diagram->ledgerPanel()->table();
    const QBrush red(QColor::fromRgb(stageLossColour));
    QCOMPARE(ledger->item(1, 7)->text(), QStringLiteral("100.00"));  // the efficiency booked
    QCOMPARE(ledger->item(1, 9)->text(), QStringLiteral("0.0"));     // no Cr
    QCOMPARE(ledger->item(1, 12)->text(), toQString(ledgerEfficiencyNote));
    QCOMPARE(ledger->item(1, 12)->foreground(), red);
    QCOMPARE(ledger->item(0, 12)->text(), QString());
    QVERIFY(ledger->item(0, 12)->foreground() != red);
    QCOMPARE(ledger->item(2, 0)->text(), QStringLiteral("合计"));
    QCOMPARE(ledger->item(2, 2)->text(), QStringLiteral("1082.4"));  // a note, not a problem: totals stay
    QVERIFY(diagram->ledgerPanel()->tsv().contains(toQString(ledgerEfficiencyNote)));
    // Above its equilibrium again: the note goes, and so does its colour.
    stages->table()->item(1, StageTable::Measured)->setText(QStringLiteral("0.45"));
    QCOMPARE(ledger->item(1, 12)->text(), QString());
    QVERIFY(ledger->item(1, 12)->foreground() != red);
  }

  // The frame never opens larger than the screen's available area, whatever
  // the scale factor the test runs at (the high-DPI run sets 2).
  void the_frame_fits_the_screen() {
    const QRect available = frame_->screen()->availableGeometry();
    QVERIFY2(frame_->width() <= available.width() && frame_->height() <= available.height(),
             qPrintable(QStringLiteral("%1x%2 in %3x%4")
                            .arg(frame_->width())
                            .arg(frame_->height())
                            .arg(available.width())
                            .arg(available.height())));
    // On a screen of at least 1024×700 logical pixels the diagram fits the
    // workspace; on a smaller one it keeps what its chart needs and the
    // workspace scrolls to it.
    EquilibriumDiagramWindow* diagram = openDiagram();
    QMdiSubWindow* sub = subWindowOf(diagram);
    if (available.width() >= 1024 && available.height() >= 700) {
      QVERIFY(workspace()->viewport()->rect().contains(sub->geometry()));
    } else {
      QVERIFY(sub->height() >= sub->minimumSizeHint().height());
    }
  }
};

QTEST_MAIN(DiagramKeyboardUiTest)
#include "diagram_keyboard_ui_test.moc"
