// SPDX-License-Identifier: Apache-2.0
// 吹炼模拟 on the equilibrium diagram: the sheet and the chart's path follow
// every edit of the heat and the stages as the core simulates them, a cell
// that is no number is named, 采用模拟温度 is one undoable step, and a plan
// keeps the simulation through its file and its report. 模型校准: a heat log
// imported fits k and L as the core does, a heat's path is drawn on request,
// 采用 is one undoable step, and what is no heat log is refused.

#include <sys/stat.h>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QLineSeries>
#include <QProcess>
#include <QPushButton>
#include <QScatterSeries>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>
#include <memory>

#include "calc/blow_ledger.h"
#include "calc/blow_simulation.h"
#include "io/heat_log.h"
#include "simulation_heat.h"
#include "synthetic_heats.h"
#include "tests/ui/diagram_test_support.h"
#include "ui/common/qt_text.h"
#include "ui/diagram/calibration_panel.h"
#include "ui/diagram/chart_marks.h"
#include "ui/diagram/plan_report.h"
#include "ui/diagram/simulation_panel.h"
#include "ui/diagram/stage_table.h"
#include "words/simulation_table.h"

using namespace velkarin;
using namespace velkarin::test;

namespace {

// An 80 t heat of 18 %Cr 9 %Ni 0.3 %Si 1 %Mn at 1.6 %C and 1550 ℃, 60 Nm³/min.
const std::vector<BlowStage> blow{
    {"4:1", "1600", "0.8", "", "2000", "", ""},
    {"2:1", "1650", "0.3", "", "", "1000", ""},
    {"1:2", "1700", "", "250", "", "", "N2"},
};

// The same heat and stages given to the core directly.
SimulationHeat coreHeat() { return test::heat80(); }
std::vector<SimulationStage> coreStages() {
  return {{"4:1", std::nullopt, 0.8, 2000, 0, InertGas::Argon},
          {"2:1", std::nullopt, 0.3, 0, 1000, InertGas::Argon},
          {"1:2", 250, std::nullopt, 0, 0, InertGas::Nitrogen}};
}

void enterHeat(EquilibriumDiagramWindow& diagram) {
  for (const auto& [name, text] : {std::pair{"Si", "0.3"},
                                   {"Mn", "1"},
                                   {"heatMass", "80"},
                                   {"startCarbon", "1.6"},
                                   {"oxygenFlow", "60"},
                                   {"startTemperature", "1550"}}) {
    entry(diagram, name)->setText(QString::fromUtf8(text));
  }
}

QCheckBox* simulateBox(const EquilibriumDiagramWindow& diagram) {
  return diagram.findChild<QCheckBox*>(QStringLiteral("simulate"));
}

QStringList temperatures(const StageTable& stages) {
  QStringList texts;
  for (int row = 0; row < stages.table()->rowCount(); ++row) {
    texts << stages.table()->item(row, StageTable::Temperature)->text();
  }
  return texts;
}

}  // namespace

class BlowSimulationUiTest : public DiagramTestCase {
  Q_OBJECT

  EquilibriumDiagramWindow* simulatedDiagram() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    enterHeat(*diagram);
    StageTable* stages = diagram->stageTable();
    for (std::size_t i = 0; i < blow.size(); ++i) stages->insertStage(static_cast<int>(i), blow[i]);
    simulateBox(*diagram)->setChecked(true);
    return diagram;
  }

 private slots:
  // The sheet is velkarin-curve --simulate's table of the same blow; the
  // chart draws its path and marks each stage's end; an edit is followed.
  void the_sheet_and_the_path_follow_the_plan() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    StageTable* stages = diagram->stageTable();
    QVERIFY(stages->table()->isColumnHidden(StageTable::Lime));
    enterHeat(*diagram);
    for (std::size_t i = 0; i < blow.size(); ++i) stages->insertStage(static_cast<int>(i), blow[i]);
    QVERIFY(!diagram->simulation());
    simulateBox(*diagram)->setChecked(true);
    QVERIFY(!stages->table()->isColumnHidden(StageTable::Lime));
    QVERIFY(diagram->simulation());
    std::vector<SimulationStage> core = coreStages();
    BlowSimulation expected = simulateBlow(coreHeat(), core);
    SimulationPanel* sheet = diagram->simulationPanel();
    QCOMPARE(sheet->tsv(), toQString(simulationTsv(expected, core)));
    ChartMarks* marks = diagram->chartView()->marks();
    QCOMPARE(marks->simulatedPath()->count(), qsizetype(expected.path.size()));
    QCOMPARE(marks->simulatedEnds()->count(), 3);
    QCOMPARE(marks->simulatedEnds()->at(1), QPointF(expected.stages[1].endTemperature, expected.stages[1].endCarbon));
    QCOMPARE(sheet->temperatureSeries()->count(), qsizetype(expected.path.size()));
    // The typed %C and t beside the prediction.
    QTableWidget* table = sheet->table();
    QCOMPARE(table->item(0, table->columnCount() - 2)->text(), QStringLiteral("0.8"));
    QCOMPARE(table->item(1, table->columnCount() - 1)->text(), QStringLiteral("1650"));

    // Edits of a stage cell and of a heat entry are followed.
    stages->table()->item(1, StageTable::Measured)->setText(QStringLiteral("0.4"));
    entry(*diagram, "heatLoss")->setText(QStringLiteral("3"));
    core[1].endCarbon = 0.4;
    SimulationHeat heat = coreHeat();
    heat.heatLoss = 3;
    expected = simulateBlow(heat, core);
    QCOMPARE(sheet->tsv(), toQString(simulationTsv(expected, core)));
    QCOMPARE(table->item(1, 5)->text(), QStringLiteral("0.4000"));

    // A cell that is no number is named; nothing is drawn until it is mended.
    stages->table()->item(0, StageTable::Lime)->setText(QStringLiteral("2 t"));
    QVERIFY(!diagram->simulation());
    QCOMPARE(sheet->statusText(), QStringLiteral("第1段的石灰“2 t”不是数字"));
    QVERIFY(diagram->statusText().contains(QStringLiteral("模拟：第1段的石灰“2 t”不是数字")));  // whole, where it wraps
    QCOMPARE(marks->simulatedPath()->count(), 0);
    QVERIFY(!sheet->adoptButton()->isEnabled());
    stages->table()->item(0, StageTable::Lime)->setText(QStringLiteral("2000"));
    entry(*diagram, "startTemperature")->clear();
    QCOMPARE(sheet->statusText(), QStringLiteral("请填写初始温度"));
    entry(*diagram, "startTemperature")->setText(QStringLiteral("1550"));
    QVERIFY(diagram->simulation());

    // Off: no path, no simulation columns.
    simulateBox(*diagram)->setChecked(false);
    QVERIFY(!diagram->simulation());
    QCOMPARE(marks->simulatedPath()->count(), 0);
    QVERIFY(stages->table()->isColumnHidden(StageTable::Inert));
  }

  // 采用模拟温度 puts each stage's simulated end temperature into its t
  // cell, the equilibrium figures follow, and one undo takes it all back.
  void adopting_the_simulated_temperatures_is_one_undoable_step() {
    EquilibriumDiagramWindow* diagram = simulatedDiagram();
    StageTable* stages = diagram->stageTable();
    const QStringList typed = temperatures(*stages);
    QVERIFY(diagram->simulationPanel()->adoptButton()->isEnabled());
    const double governingBefore = *governingCarbon(diagram->stageResults()[0]);
    QStringList simulated;
    for (const SimulatedStage& s : diagram->simulation()->stages)
      simulated << toQString(fixedText(s.endTemperature, 1));
    const int steps = stages->undoStack()->count();
    diagram->simulationPanel()->adoptButton()->click();
    QCOMPARE(temperatures(*stages), simulated);
    QCOMPARE(stages->undoStack()->count(), steps + 1);
    QCOMPARE(diagram->stageResults()[0].temperatureCelsius, simulated[0].toDouble());
    QVERIFY(*governingCarbon(diagram->stageResults()[0]) != governingBefore);
    QVERIFY(diagram->isWindowModified());
    stages->undoStack()->undo();
    QCOMPARE(temperatures(*stages), typed);
    QCOMPARE(*governingCarbon(diagram->stageResults()[0]), governingBefore);
    stages->undoStack()->redo();
    QCOMPARE(temperatures(*stages), simulated);
  }

  // Saved and opened again, the plan is simulated as before; its report
  // prints the simulation.
  void a_plan_keeps_the_simulation_through_its_file_and_report() {
    EquilibriumDiagramWindow* diagram = simulatedDiagram();
    entry(*diagram, "rateConstant")->setText(QStringLiteral("0.25"));
    const QString tsv = diagram->simulationPanel()->tsv();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("模拟.velkarin"));
    QVERIFY(!diagram->savePlanFile(path));
    auto again = std::make_unique<EquilibriumDiagramWindow>(DiagramStart{});
    QVERIFY(!again->simulation());
    QVERIFY(!again->openPlanFile(path));
    QVERIFY(simulateBox(*again)->isChecked());
    QVERIFY(!again->stageTable()->table()->isColumnHidden(StageTable::Scrap));
    QCOMPARE(entry(*again, "rateConstant")->text(), QStringLiteral("0.25"));
    QCOMPARE(again->simulationPanel()->tsv(), tsv);
    QCOMPARE(again->plan(), diagram->plan());

    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty()) QSKIP("pdftotext (poppler-utils) is not installed");
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    QVERIFY(!writePlanReport(*again, pdf));
    QProcess text;
    text.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(20000));
    const QString words = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY2(words.contains(QStringLiteral("吹炼模拟")), qPrintable(words));
    QVERIFY(words.contains(QStringLiteral("出钢温度/℃=")));
    QVERIFY(words.contains(QStringLiteral("k=0.25")));
    // The stages' additions (pdftotext gives some characters as their Kangxi radicals: 石 as ⽯).
    QVERIFY2(words.contains(QStringLiteral("第1段")) && words.contains(QStringLiteral("灰 2000 kg")),
             qPrintable(words));
  }

  // A log of six heats and one with a row that cannot be read: k and L as
  // the core fits them, the parity plots, a heat's path, 采用 and its undo.
  void a_heat_log_calibrates_the_simulation() {
    EquilibriumDiagramWindow* diagram = simulatedDiagram();
    const std::vector<LoggedHeat> heats = test::syntheticHeatLog(6, 4, 0.40, 2.5, 0.10, 10, 4);
    const std::string csv = test::heatLogCsv(heats) + "H9,1,80,1.6,1550,60,18,9,0.3,1,4:1,lots,,,,,\n";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("炉次记录.csv"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(csv.data(), qint64(csv.size()));
    file.close();
    QCOMPARE(diagram->importHeatLog(path), std::optional<QString>());
    const HeatLogRead log = readHeatLog(csv, SimulationHeat{});
    const Calibration expected = calibrateBlow(log.heats);
    QVERIFY(diagram->calibration() && diagram->calibration()->problem == CalibrationProblem::None);
    const Calibration& fit = *diagram->calibration();
    // The solver sums the heats on two threads: equal to the last few bits.
    QVERIFY(std::abs(fit.rateConstant - expected.rateConstant) < 1e-9 * expected.rateConstant);
    QVERIFY(std::abs(fit.heatLoss - expected.heatLoss) < 1e-9 * expected.heatLoss);
    CalibrationPanel* sheet = diagram->calibrationPanel();
    auto* tabs = diagram->findChild<QTabWidget*>(QStringLiteral("sheetTabs"));
    QCOMPARE(tabs->currentWidget(), sheet);
    QVERIFY2(sheet->resultText().contains(QStringLiteral("6炉、48个实测值（终点%C和温度各算一个；剔除1炉）")),
             qPrintable(sheet->resultText()));
    QCOMPARE(sheet->carbonPoints()->count(), 24);
    QCOMPARE(sheet->temperaturePoints()->count(), 24);
    QCOMPARE(sheet->heatsTable()->rowCount(), 6);
    QCOMPARE(sheet->heatsTable()->item(0, 2)->text(), QStringLiteral("8"));  // 4 stage ends, %C and t each
    QCOMPARE(sheet->tsv(), toQString(calibrationTable(fit, 1)));

    // A heat chosen: its simulated path and its measured ends on the chart.
    sheet->heatsTable()->setCurrentCell(2, 0);
    ChartMarks* marks = diagram->chartView()->marks();
    QVERIFY(marks->loggedHeatPath()->count() > 4);
    QCOMPARE(marks->loggedHeatEnds()->count(), 4);
    QCOMPARE(marks->loggedHeatEnds()->at(3), QPointF(*log.heats[2].endTemperature[3], *log.heats[2].endCarbon[3]));

    // 采用: k and L into the simulation's entries, the simulation follows; one undo takes both back.
    QLineEdit* k = entry(*diagram, "rateConstant");
    QLineEdit* loss = entry(*diagram, "heatLoss");
    const QString tsv = diagram->simulationPanel()->tsv();
    QVERIFY(diagram->adoptCalibration());
    QCOMPARE(k->text(), calibrationFigureText(fit.rateConstant, fit.rateConstantError));
    QCOMPARE(loss->text(), calibrationFigureText(fit.heatLoss, fit.heatLossError));
    QVERIFY(diagram->simulationPanel()->tsv() != tsv);
    diagram->stageTable()->undoStack()->undo();
    QCOMPARE(k->text(), QStringLiteral("0.30"));
    QCOMPARE(loss->text(), QStringLiteral("1.5"));
    QCOMPARE(diagram->simulationPanel()->tsv(), tsv);

    // What is no heat log is refused and the fit shown stays.
    const QString fifo = dir.filePath(QStringLiteral("管道.csv"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& bad : {fifo, dir.path(), dir.filePath(QStringLiteral("none.csv"))}) {
      const std::optional<QString> problem = diagram->importHeatLog(bad);
      QVERIFY2(problem, qPrintable(bad));
    }
    QCOMPARE(*diagram->importHeatLog(fifo), QStringLiteral("无法读取“%1”：不是普通文件").arg(fifo));
    QCOMPARE(diagram->calibration()->rateConstant, fit.rateConstant);
  }

  // 采用's digits and its question, by the fit's errors.
  void adopting_rounds_by_the_error_and_asks_when_held_out_is_worse() {
    struct Figure {
      double value, error;
      const char* text;
    };
    for (const Figure& f : {Figure{0.449937871, 0.0151133963, "0.450"}, Figure{1.96961421, 0.0628, "1.970"},
                            Figure{12.3456, 2.1, "12.3"}, Figure{0.4, 0, "0.400"}}) {
      QCOMPARE(calibrationFigureText(f.value, f.error), QString::fromUtf8(f.text));
    }
    struct Errors {
      std::optional<double> lnC, heldLnC, t, heldT;
      bool asks;
    };
    for (const Errors& e : {Errors{0.1, 0.12, 10, 11, false}, Errors{0.1, 0.21, 10, 11, true},
                            Errors{0.1, 0.12, 10, 25, true}, Errors{0.1, {}, 10, {}, false}}) {
      Calibration fit;
      fit.rmsLnCarbon = e.lnC;
      fit.heldOutRmsLnCarbon = e.heldLnC;
      fit.rmsTemperature = e.t;
      fit.heldOutRmsTemperature = e.heldT;
      QCOMPARE(calibrationNeedsQuestion(fit), e.asks);
    }
  }
};

QTEST_MAIN(BlowSimulationUiTest)
#include "blow_simulation_ui_test.moc"
