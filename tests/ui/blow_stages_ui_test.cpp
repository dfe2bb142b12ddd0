// SPDX-License-Identifier: Apache-2.0
// Planning a blow on the equilibrium diagram: gas ratio items and P, η; both
// oxides; the stage table entered by keyboard, its path on the chart, the
// target, the inverse solves and the exports; the heat path of every
// calculation and the readout that follows the chart.

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPushButton>
#include <QScatterSeries>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "calc/blow_stage.h"
#include "calc/number_text.h"
#include "calc/stage_solve.h"
#include "tests/ui/diagram_test_support.h"
#include "ui/calculator/calculation_window.h"
#include "ui/calculator/main_frame.h"
#include "ui/diagram/chart_marks.h"
#include "ui/diagram/stage_table.h"
#include "words/chinese.h"

using namespace velkarin;
using namespace velkarin::test;

namespace {

// The README's three stages: 18 %Cr 9 %Ni, the first presets.
const std::vector<BlowStage> readmeStages{{"3:1", "1600", "0.60"}, {"1:1", "1680", "0.15"}, {"1:3", "1720", "0.04"}};

QString cell(const StageTable& stages, int row, int column) {
  const QTableWidgetItem* item = stages.table()->item(row, column);
  return item ? item->text() : QString();
}

void fill(StageTable& stages, const std::vector<BlowStage>& rows) {
  for (std::size_t i = 0; i < rows.size(); ++i) stages.insertStage(static_cast<int>(i), rows[i]);
}

}  // namespace

class BlowStagesUiTest : public DiagramTestCase {
  Q_OBJECT

 private slots:
  void ratio_items_are_curves_named_by_ratio_and_pressure() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    entry(*diagram, "pressures")->setText(QStringLiteral("3:1, 50000"));
    QCOMPARE(diagram->inputs().coPressures, (std::vector<double>{86850, 50000}));
    QCOMPARE(legendNames(*diagram->chartView()).mid(0, 2), QStringList({"3:1 → 86850 Pa", "50000 Pa (0.493)"}));
    entry(*diagram, "totalPressure")->setText(QStringLiteral("200000"));
    entry(*diagram, "coShare")->setText(QStringLiteral("0.5"));
    QCOMPARE(diagram->inputs().coPressures.front(), 200000.0 * 3 / 4);  // x = 2·0.5·3 = 3
    for (const auto& [field, text, reason] : {std::tuple{"pressures", "3:1, 0:1", "气体比“0:1”不含氧气，不生成CO"},
                                              {"coShare", "1.5", "η不能大于1"},
                                              {"totalPressure", "0", "总压P必须大于0"}}) {
      QLineEdit* edit = entry(*diagram, field);
      const QString good = edit->text();
      const std::vector<Points> drawn = drawnFamily(*diagram);
      edit->setText(QString::fromUtf8(text));
      QVERIFY2(diagram->statusText().contains(QString::fromUtf8(reason)), qPrintable(diagram->statusText()));
      QCOMPARE(drawnFamily(*diagram), drawn);
      edit->setText(good);
    }
  }

  // Cr3O4 takes the A and B typed in Form2 (its second preset row's); at 1:3
  // its root is the higher at 1900 °C, Cr2O3's at 1500 °C, and the readout
  // names the governing oxide.
  void both_oxides_draw_the_other_dashed_and_name_the_governing_one() {
    CalculationWindow* form2 = frame_->showCalculationWindow(Reaction::Cr3O4);
    combo(*form2, "Combo1")->setEditText(QStringLiteral("661725"));
    combo(*form2, "Combo2")->setEditText(QStringLiteral("-438.852"));
    frame_->showCalculationWindow(Reaction::Cr2O3);
    EquilibriumDiagramWindow* diagram = openDiagram();
    entry(*diagram, "pressures")->setText(QStringLiteral("1:3"));
    diagram->findChild<QCheckBox*>(QStringLiteral("bothOxides"))->setChecked(true);
    EquilibriumChartView* view = diagram->chartView();
    QCOMPARE(view->curves().size(), 2u);
    CurveFamilyInputs cr3o4 = diagram->inputs();
    cr3o4.reaction = Reaction::Cr3O4;
    cr3o4.line = {661725, -438.852};
    QCOMPARE(drawnPoints(*diagram, 1), corePoints(equilibriumCurveFamily(cr3o4).front()));
    QCOMPARE(view->curveSeries(0).front()->pen().style(), Qt::SolidLine);
    QCOMPARE(view->curveSeries(1).front()->pen().style(), Qt::DashLine);
    QCOMPARE(view->curveSeries(1).front()->pen().color(), view->curveSeries(0).front()->pen().color());
    QCOMPARE(legendNames(*view).first(), QStringLiteral("1:3 → 40530 Pa"));  // one entry per pressure

    // Typing in Form2 moves the dashed curves at once.
    combo(*form2, "Combo1")->setEditText(QStringLiteral("697890"));
    combo(*form2, "Combo2")->setEditText(QStringLiteral("-461.535"));
    cr3o4.line = presetLine(Reaction::Cr3O4);
    QCOMPARE(drawnPoints(*diagram, 1), corePoints(equilibriumCurveFamily(cr3o4).front()));

    for (const auto& [t, governing] : {std::pair{1900.0, "Cr3O4控制"}, {1500.0, "Cr2O3控制"}}) {
      emit view->curveSeries(0).front()->hovered(QPointF(t, 0.05), true);
      const QString text = labelText(*diagram, "pointer");
      QVERIFY2(text.contains(QString::fromUtf8(governing)), qPrintable(text));
    }
  }

  void stage_table_is_entered_and_reordered_by_keyboard() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    StageTable* stages = diagram->stageTable();
    QTableWidget* table = stages->table();
    table->setFocus();
    QTRY_VERIFY(table->hasFocus());
    for (const char* row : {"3:1\t1600\t0.60", "1:1\t1680\t0.15"}) {
      QTest::keyClick(table, Qt::Key_Insert);
      // Key by key to whatever has the focus, as a user types: the first
      // key opens the cell's editor, Tab goes on to the next cell.
      for (const QString& text : QString::fromUtf8(row).split('\t')) {
        for (const QChar c : text) QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      }
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    }
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(cell(*stages, 0, StageTable::Gas), QStringLiteral("3:1"));
    QCOMPARE(cell(*stages, 1, StageTable::Measured), QStringLiteral("0.15"));
    QCOMPARE(cell(*stages, 0, StageTable::Pressure), QStringLiteral("86850"));
    QCOMPARE(cell(*stages, 0, StageTable::Margin), QStringLiteral("0.194372"));  // 0.60 − 0.405628 (Cr2O3)
    QCOMPARE(cell(*stages, 1, StageTable::Governing), QStringLiteral("Cr2O3"));

    table->setFocus();
    table->setCurrentCell(1, StageTable::Gas);
    QTest::keyClick(table, Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(cell(*stages, 0, StageTable::Gas), QStringLiteral("1:1"));
    QCOMPARE(cell(*stages, 0, StageTable::Pressure), QStringLiteral("67550"));
    QCOMPARE(diagram->stageResults()[0].pressure.coPressure, 67550.0);
    // In a cell's editor Delete edits the text; on the table Shift+Delete removes the stage.
    QTest::keyClick(table, Qt::Key_9);
    QVERIFY(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    QCOMPARE(table->rowCount(), 2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTest::keyClick(table, Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(cell(*stages, 0, StageTable::Gas), QStringLiteral("3:1"));
  }

  // Each stage is a numbered point at its temperature and governing
  // equilibrium carbon, coloured by the sign of its margin; the target draws
  // its line and rings the first stage at or below it.
  void stages_are_a_path_with_the_target_marked() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    fill(*diagram->stageTable(), readmeStages);
    ChartMarks* marks = diagram->chartView()->marks();
    Points expected;
    for (const BlowStage& stage : readmeStages) {
      const StageResult r = evaluateStage(stage, diagram->stageSettings());
      expected << QPointF(r.temperatureCelsius, *governingCarbon(r));
    }
    QCOMPARE(marks->stagePathLine()->points(), expected);
    QCOMPARE(marks->stageMarks()->points(), expected);  // one series for all stages
    QCOMPARE(marks->stageNumbers(), QStringList({"1", "2", "3"}));
    const QList<QRgb> colours{stageGainColour, stageLossColour, stageLossColour};  // margins +0.19, −0.03, −0.05
    for (int i = 0; i < 3; ++i) QCOMPARE(marks->stageColour(i), QColor::fromRgb(colours[i]));
    QVERIFY(marks->targetLine()->points().isEmpty());

    for (const auto& [target, reached] : {std::pair{"0.2", 1}, {"0.09", 2}, {"0.03", -1}}) {
      entry(*diagram, "target")->setText(QString::fromUtf8(target));
      const double level = QString::fromUtf8(target).toDouble();
      QCOMPARE(marks->targetLine()->points(), Points({{1400, level}, {1900, level}}));
      QCOMPARE(marks->targetMark()->points(), reached < 0 ? Points() : Points{expected[reached]});
      for (int row = 0; row < 3; ++row) {
        QCOMPARE(cell(*diagram->stageTable(), row, StageTable::Governing).contains(QStringLiteral("达标")),
                 row == reached);
      }
      const QString note = reached < 0 ? QStringLiteral("没有阶段的平衡C浓度达到目标0.03%C")
                                       : QStringLiteral("第%1段的平衡C浓度首先达到目标").arg(reached + 1);
      QVERIFY2(diagram->statusText().contains(note), qPrintable(diagram->statusText()));
    }
    QVERIFY(diagram->chartView()->carbonAxis()->min() < 0.03);  // the axis reaches the target

    // A target that is no number draws no line and says so; a bad stage is
    // named and left out of the path, a blank one (just added) is not named.
    entry(*diagram, "target")->setText(QStringLiteral("abc"));
    QVERIFY(marks->targetLine()->points().isEmpty());
    QVERIFY2(diagram->statusText().contains(QStringLiteral("目标C浓度“abc”不是正数")),
             qPrintable(diagram->statusText()));
    diagram->stageTable()->insertStage(3, {"0:1", "1750", ""});
    diagram->stageTable()->insertStage(4, {});
    QVERIFY2(diagram->statusText().contains(QStringLiteral("第4段：气体比“0:1”不含氧气，不生成CO")),
             qPrintable(diagram->statusText()));
    QVERIFY(!diagram->statusText().contains(QStringLiteral("第5段")));
    QCOMPARE(marks->stagePathLine()->points(), expected);
    QCOMPARE(cell(*diagram->stageTable(), 3, StageTable::Pressure), QString());
  }

  void solve_buttons_answer_for_the_current_stage() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    StageTable* stages = diagram->stageTable();
    fill(*stages, readmeStages);
    entry(*diagram, "target")->setText(QStringLiteral("0.1"));
    stages->table()->setCurrentCell(1, StageTable::Gas);
    const StageResult stage = diagram->stageResults()[1];
    const StageSettings settings = diagram->stageSettings();
    const TemperatureRange range;
    const QString name = QStringLiteral("第2段（1:1，1680℃）：");
    QPushButton* byTemperature = diagram->findChild<QPushButton*>(QStringLiteral("solveTemperature"));
    byTemperature->click();
    QCOMPARE(
        labelText(*diagram, "stageSolution"),
        name + QString::fromStdString(chinese(solveStageTemperature(stage, settings, 0.1, range), 0.1, range, true)));
    diagram->findChild<QPushButton*>(QStringLiteral("solveRatio"))->click();
    const StageSolution ratio = solveStagePressure(stage, settings, 0.1);
    QVERIFY(ratio.found());
    QCOMPARE(labelText(*diagram, "stageSolution"), name + QString::fromStdString(chinese(ratio, 0.1, range, false)));
    QVERIFY(labelText(*diagram, "stageSolution").contains(QString::fromStdString(ratioText(ratio.ratio))));

    // The answer never outlives what it describes: each change ends it.
    const std::vector<std::pair<const char*, std::function<void()>>> changes{
        {"a cell edited", [&] { stages->table()->item(1, StageTable::Temperature)->setText(QStringLiteral("1690")); }},
        {"the target", [&] { entry(*diagram, "target")->setText(QStringLiteral("0.12")); }},
        {"an entry", [&] { entry(*diagram, "Cr")->setText(QStringLiteral("17")); }},
        {"a row moved", [&] { stages->moveCurrentStage(-1); }},
        {"a row deleted", [&] { stages->removeCurrentStage(); }},
    };
    for (const auto& [what, change] : changes) {
      byTemperature->click();
      QVERIFY2(!labelText(*diagram, "stageSolution").isEmpty(), what);
      change();
      QVERIFY2(labelText(*diagram, "stageSolution").isEmpty(), what);
    }
  }

  // A temperature answer outside 1400～1800 ℃, found in the diagram's range
  // or needed beyond it, is noted as beyond usual practice; one inside is not.
  void solved_temperature_beyond_usual_practice_is_noted_data() {
    QTest::addColumn<QString>("target");  // %C
    QTest::addColumn<int>("side");        // of the answer: -1 below 1400 ℃, 0 inside, +1 above 1800 ℃
    QTest::newRow("below 1400") << QStringLiteral("1.5") << -1;
    QTest::newRow("inside") << QStringLiteral("0.1") << 0;
    QTest::newRow("above 1800") << QStringLiteral("0.03") << 1;
  }
  void solved_temperature_beyond_usual_practice_is_noted() {
    QFETCH(QString, target);
    QFETCH(int, side);
    EquilibriumDiagramWindow* diagram = openDiagram();
    fill(*diagram->stageTable(), readmeStages);
    entry(*diagram, "target")->setText(target);
    diagram->stageTable()->table()->setCurrentCell(1, StageTable::Gas);
    const TemperatureRange range;
    const StageSolution solution =
        solveStageTemperature(diagram->stageResults()[1], diagram->stageSettings(), target.toDouble(), range);
    // The row's premise, by the core's own answer.
    const std::optional<double> celsius =
        solution.status == SolveStatus::Found ? solution.temperatureCelsius : solution.outsideCelsius;
    QVERIFY(celsius);
    QCOMPARE(*celsius < 1400 ? -1 : *celsius > 1800 ? 1 : 0, side);
    diagram->findChild<QPushButton*>(QStringLiteral("solveTemperature"))->click();
    const QString answer = QStringLiteral("第2段（1:1，1680℃）：") +
                           QString::fromStdString(chinese(solution, target.toDouble(), range, true));
    QCOMPARE(labelText(*diagram, "stageSolution"),
             side == 0 ? answer : answer + QStringLiteral("（超出常用的1400～1800℃）"));
  }

  void stage_table_copies_saves_and_is_in_the_picture() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    StageTable* stages = diagram->stageTable();
    fill(*stages, readmeStages);
    const std::string table = stageTableTsv(stageTable(readmeStages, diagram->stageResults()));
    diagram->findChild<QPushButton*>(QStringLiteral("copyStages"))->click();
    QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromStdString(table));
    QVERIFY(QGuiApplication::clipboard()->text().startsWith(QStringLiteral("阶段\t气体比或CO分压\t")));
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    stages->table()->setFocus();
    QTRY_VERIFY(stages->table()->hasFocus());
    QTest::keyClick(stages->table(), Qt::Key_C, Qt::ControlModifier);  // the whole table, not one cell
    QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromStdString(table));

    QTemporaryDir folder;
    const QString csv = folder.filePath(QStringLiteral("stages.csv"));
    QVERIFY(!stages->writeCsv(csv));
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    // The conditions' rows, then the table (velkarin-curve --stages reads both).
    const QByteArray saved = file.readAll();
    QVERIFY(saved.startsWith("\xEF\xBB\xBF#reaction,Cr2O3\r\n#A,"));
    QVERIFY(saved.endsWith(
        "\r\n\r\n" + QByteArray::fromStdString(stageTableCsv(stageTable(readmeStages, diagram->stageResults())))));
    QVERIFY(stages->writeCsv(folder.filePath(QStringLiteral("missing/stages.csv"))).has_value());

    // The saved picture shows stage 1's point in its colour.
    entry(*diagram, "target")->setText(QStringLiteral("0.03"));
    const QString png = folder.filePath(QStringLiteral("plan.png"));
    QVERIFY(!diagram->chartView()->writeImage(png, ImageFormat::Png));
    const QImage image(png);
    QScatterSeries* first = diagram->chartView()->marks()->stageMarks();
    const QPoint at =
        diagram->chartView()->mapFromScene(diagram->chartView()->chart()->mapToPosition(first->at(0), first));
    QCOMPARE(image.pixelColor(at), QColor::fromRgb(stageGainColour));
  }

  void heat_path_joins_every_calculation_until_the_list_is_cleared() {
    CalculationWindow* form1 = frame_->calculationWindow(Reaction::Cr2O3);
    EquilibriumDiagramWindow* diagram = openDiagram();
    const Points heats{{1700, 0.5}, {1650, 0.3}, {1600, 0.2}};
    for (const QPointF& p : heats) calculate(form1, answers(QString::number(p.x()), QString::number(p.y())));
    QCOMPARE(diagram->chartView()->marks()->heatPathLine()->points(), heats);
    QCOMPARE(diagram->chartView()->marks()->heatPathPoints()->points(), heats.first(2));
    QCOMPARE(heatPoint(*diagram), heats.back());  // the last one, emphasised

    // The readout of the heat follows the new last calculation at once.
    emit diagram->chartView()->heatSeries()->hovered(heats.back(), true);
    QVERIFY(labelText(*diagram, "pointer").contains(QStringLiteral("t = 1600 ℃")));
    calculate(form1, answers("1580", "0.15"));
    QVERIFY2(labelText(*diagram, "pointer").contains(QStringLiteral("t = 1580 ℃")),
             qPrintable(labelText(*diagram, "pointer")));

    button(*form1, "Command3")->click();
    QVERIFY(diagram->chartView()->marks()->heatPathLine()->points().isEmpty());
    QVERIFY(!heatPoint(*diagram));
    QVERIFY(!labelText(*diagram, "pointer").contains(QStringLiteral("1580")));
  }

  // A curve point under the pointer is described again after the curves change.
  void curve_readout_follows_a_redraw() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    emit diagram->chartView()->curveSeries(0).front()->hovered(QPointF(1650, 0.4), true);
    const QString before = labelText(*diagram, "pointer");
    entry(*diagram, "Cr")->setText(QStringLiteral("12"));
    const QString after = labelText(*diagram, "pointer");
    QVERIFY(after.contains(QStringLiteral("t = 1650 ℃")));
    QVERIFY(after != before);
    const CurvePoint& point = diagram->chartView()->curves()[0].points[250];
    QVERIFY(after.contains(QString::fromStdString(formatPattern(*point.carbon.carbon, DigitPattern::Decimals6))));
  }

  // Delete empties the selected typed cells (the rows stay), as one step
  // that Ctrl+Z undoes.
  void delete_clears_the_selected_typed_cells() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    StageTable* stages = diagram->stageTable();
    stages->insertStage(0, {"3:1", "1600", "0.60"});
    stages->insertStage(1, {"1:1", "1680", "0.15"});
    QTableWidget* table = stages->table();
    frame_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
    table->setFocus();
    table->setCurrentCell(0, StageTable::Temperature);
    table->setRangeSelected(QTableWidgetSelectionRange(0, StageTable::Temperature, 1, StageTable::Pressure), true);
    QTest::keyClick(table, Qt::Key_Delete);
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(stages->stages(), (std::vector<BlowStage>{{"3:1", "", ""}, {"1:1", "", ""}}));
    QCOMPARE(diagram->stageResults().size(), 2u);  // the stages follow: evaluated again, without t and C
    QTest::keyClick(table, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(stages->stages(), (std::vector<BlowStage>{{"3:1", "1600", "0.60"}, {"1:1", "1680", "0.15"}}));
  }
};

QTEST_MAIN(BlowStagesUiTest)
#include "blow_stages_ui_test.moc"
