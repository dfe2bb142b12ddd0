// SPDX-License-Identifier: Apache-2.0
// The plant's heats on the diagram: a small file imported (points, table,
// a faulted row with its message, the parity plot), a file that cannot be
// read and a cancelled import leave nothing half-imported, the fit of heats
// placed at equilibrium gives their line back and 采用 puts it into A and B
// (asking first when the fit is doubtful), and 预设范围 shades a band per
// pressure.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScatterSeries>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <string>
#include <vector>

#include "calc/equilibrium_curve.h"
#include "calc/number_text.h"
#include "calc/reaction_data.h"
#include "tests/ui/diagram_test_support.h"
#include "ui/diagram/heat_overlay.h"
#include "ui/diagram/heats_panel.h"

using namespace velkarin;
using namespace velkarin::test;

namespace {

QString writeFile(const QTemporaryDir& folder, const QString& name, const std::string& text) {
  const QString path = folder.filePath(name);
  QFile file(path);
  file.open(QIODevice::WriteOnly);
  file.write(text.data(), static_cast<qint64>(text.size()));
  return path;
}

// Heats at equilibrium under `line` at 18 %Cr, 9 %Ni: the core's own roots, as shortest texts.
// With a spread, each heat is written twice, its p_CO multiplied and divided
// by it: the pair's ΔG lie evenly either side of the line, so the fit keeps
// the line and loses R².
std::string heatsOnLine(const ReactionLine& line, double spread = 1) {
  std::string csv = "id,reaction,t,C,Cr,Ni,Si,Mn,pCO\n";
  int n = 0;
  for (double t = 1550; t <= 1800; t += 50) {
    for (double p : {30000.0, 80000.0}) {
      const EquilibriumCarbon c = equilibriumCarbon(Reaction::Cr2O3, line, t, p, CurveComposition{});
      for (double written : spread == 1 ? std::vector<double>{p} : std::vector<double>{p * spread, p / spread}) {
        csv += "H" + std::to_string(++n) + ",Cr2O3," + formatShortest(t) + "," + formatShortest(*c.carbon) +
               ",18,9,0,0," + formatShortest(written) + "\n";
      }
    }
  }
  return csv;
}

}  // namespace

class PlantHeatsUiTest : public DiagramTestCase {
  Q_OBJECT

 private slots:
  void a_small_file_shows_points_table_and_its_faulted_row() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    QTemporaryDir folder;
    const QString path = writeFile(folder, QStringLiteral("heats.csv"),
                                   "heat,reaction,A,B,t,C,Cr,Ni,Si,Mn,pCO\n"
                                   "24A1,Cr2O3,,,1600,0.60,18,9,0,0,86850\n"
                                   "24A2,Cr2O3,,,1680,0.10,18,9,0,0,67550\n"
                                   "24A3,Cr2O3,,,1720,0.04,18,9,0,0,40530\n"
                                   "24A4,Cr2O3,,,1650,0,18,9,0,0,50000\n"
                                   "24A5,Cr3O4,,,1650,0.2,18,9,0,0,50000\n");
    QVERIFY(!diagram->importHeats(path));
    const std::vector<PlantHeat>& heats = diagram->plantHeats();
    QCOMPARE(heats.size(), 5u);
    QCOMPARE(heats[0].id, std::string("24A1"));
    QCOMPARE(heats[0].line, 2u);
    QVERIFY(heats[3].fault.find("C浓度必须大于0") != std::string::npos);
    QVERIFY(!heats[3].fitted);
    // Each heat's figures are the core's under the diagram's line.
    const HeatFigures expected = heatFigures(Reaction::Cr2O3, diagram->inputs().line, *heats[1].state);
    QCOMPARE(diagram->heatFigures()[1].equilibriumCarbon, expected.equilibriumCarbon);
    QVERIFY(*diagram->heatFigures()[0].margin > 0);  // 0.60 above 0.405628
    QVERIFY(*diagram->heatFigures()[1].margin < 0);
    // The shown reaction's three computable heats on the chart, by their margin.
    QCOMPARE(diagram->heatOverlay()->gainingSeries()->count(), 1);
    QCOMPARE(diagram->heatOverlay()->losingSeries()->count(), 2);
    HeatsModel* model = diagram->heatsPanel()->model();
    // Their table is a sheet of its own beside 物料平衡 and 吹炼模拟.
    QVERIFY(diagram->findChild<QTabWidget*>(QStringLiteral("sheetTabs"))->indexOf(diagram->heatsPanel()) >= 0);
    QCOMPARE(model->rowCount(), 5);
    QVERIFY(
        model->data(model->index(3, HeatsModel::Note), Qt::DisplayRole).toString().contains(QStringLiteral("C浓度")));
    QCOMPARE(model->data(model->index(3, HeatsModel::Fitted), Qt::CheckStateRole), QVariant());
    QCOMPARE(model->data(model->index(0, HeatsModel::Equilibrium), Qt::DisplayRole).toString(),
             QStringLiteral("0.405628"));
    // The pointer over a heat's point names it and gives its figures.
    emit diagram->heatOverlay()->heatHovered(QPointF(1600, 0.60));
    QVERIFY2(labelText(*diagram, "pointer").startsWith(QStringLiteral("炉次24A1（第2行）：t=1600℃，实测0.6%C")),
             qPrintable(labelText(*diagram, "pointer")));
    QVERIFY(labelText(*diagram, "pointer").contains(QStringLiteral("平衡0.405628%C")));
    // Switching the reaction shows the other's heat.
    diagramCombo(*diagram, "reaction")->setCurrentIndex(1);
    QCOMPARE(diagram->heatOverlay()->gainingSeries()->count() + diagram->heatOverlay()->losingSeries()->count(), 1);
  }

  void nothing_half_imported_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("no pCO") << QByteArray("reaction,t,C,Cr,Ni,Si,Mn\nCr2O3,1600,0.4,18,9,0,0\n")
                            << QStringLiteral("line 1: the header line lacks the column(s) pCO");
    QTest::newRow("short row") << QByteArray("reaction,t,C,Cr,Ni,Si,Mn,pCO\nCr2O3,1600,0.4,18,9,0,0,1\nCr2O3,1\n")
                               << QStringLiteral("line 3: 2 fields");
    QTest::newRow("empty") << QByteArray("reaction,t,C,Cr,Ni,Si,Mn,pCO\n") << QStringLiteral("没有炉次");
  }
  void nothing_half_imported() {
    QFETCH(QByteArray, text);
    QFETCH(QString, message);
    EquilibriumDiagramWindow* diagram = openDiagram();
    QTemporaryDir folder;
    QVERIFY(
        !diagram->importHeats(writeFile(folder, QStringLiteral("good.csv"), heatsOnLine(presetLine(Reaction::Cr2O3)))));
    const std::size_t before = diagram->plantHeats().size();
    const std::optional<QString> problem =
        diagram->importHeats(writeFile(folder, QStringLiteral("bad.csv"), text.toStdString()));
    QVERIFY(problem);
    QVERIFY2(problem->contains(message), qPrintable(*problem));
    QCOMPARE(diagram->plantHeats().size(), before);
  }

  // A CSV dropped on the diagram is imported; another file is not taken.
  void a_dropped_csv_is_imported() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    QTemporaryDir folder;
    QMimeData mime;
    mime.setUrls(
        {QUrl::fromLocalFile(writeFile(folder, QStringLiteral("drop.csv"), heatsOnLine(presetLine(Reaction::Cr2O3))))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(diagram, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(diagram, &drop);
    QTRY_COMPARE(diagram->plantHeats().size(), 12u);
    QMimeData other;
    other.setUrls({QUrl::fromLocalFile(folder.filePath(QStringLiteral("notes.txt")))});
    QDragEnterEvent refused(QPoint(5, 5), Qt::CopyAction, &other, Qt::LeftButton, Qt::NoModifier);
    refused.ignore();
    QApplication::sendEvent(diagram, &refused);
    QVERIFY(!refused.isAccepted());
  }

  void a_cancelled_import_imports_nothing() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    QTemporaryDir folder;
    std::string csv = "reaction,t,C,Cr,Ni,Si,Mn,pCO\n";
    for (int i = 0; i < 400000; ++i) csv += "Cr2O3,1650,0.2,18,9,0,0,50000\n";
    DialogDriver driver;
    driver.cancelProgress();
    const std::optional<QString> problem = diagram->importHeats(writeFile(folder, QStringLiteral("big.csv"), csv));
    QVERIFY(problem);
    QVERIFY2(problem->contains(QStringLiteral("已取消")), qPrintable(*problem));
    QVERIFY(diagram->plantHeats().empty());
    QVERIFY(!driver.seen(SeenDialog::Kind::Progress).isEmpty());
  }

  // Heats at equilibrium under a line of their own: 拟合ΔG° gives it back,
  // 采用 puts it into A and B (the preset box then shows 自定义), fewer than
  // three ticked heats is a problem, 预设范围 shades one band per pressure.
  void the_fit_gives_the_line_back_and_is_adopted() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    const ReactionLine plant{760000, -487.2};
    QTemporaryDir folder;
    QVERIFY(!diagram->importHeats(writeFile(folder, QStringLiteral("plant.csv"), heatsOnLine(plant))));
    diagram->findChild<QPushButton*>(QStringLiteral("fitLine"))->click();
    QVERIFY(diagram->fittedLine());
    QVERIFY(std::abs(diagram->fittedLine()->a - plant.a) < 1e-6 * plant.a);
    QVERIFY(std::abs(diagram->fittedLine()->b - plant.b) < 1e-6 * std::abs(plant.b));
    QCOMPARE(diagram->heatOverlay()->fittedSeries().size(), diagram->inputs().coPressures.size());
    QVERIFY(labelText(*diagram, "fitResult").contains(QStringLiteral("n = 12")));
    // A and B to the digits the fit supports, in the result and in the entries.
    QVERIFY2(labelText(*diagram, "fitResult").contains(QStringLiteral("A = 760000 ± ")),
             qPrintable(labelText(*diagram, "fitResult")));
    QVERIFY2(labelText(*diagram, "fitResult").contains(QStringLiteral("B = -487.200 ± ")),
             qPrintable(labelText(*diagram, "fitResult")));
    auto* adopt = diagram->findChild<QPushButton*>(QStringLiteral("adoptFit"));
    QVERIFY(adopt->isEnabled());
    DialogDriver driver;
    driver.answerMessageBoxesWith(QStringLiteral("采用"));  // the line lies outside the presets
    adopt->click();
    QCOMPARE(driver.seen().size(), 1);
    QCOMPARE(entry(*diagram, "A")->text(), QStringLiteral("760000"));
    QCOMPARE(entry(*diagram, "B")->text(), QStringLiteral("-487.200"));
    QCOMPARE(diagram->inputs().line.a, 760000.0);
    QCOMPARE(diagram->inputs().line.b, -487.2);
    QVERIFY2(diagram->chartView()->chartTitle().contains(QStringLiteral("A=760000 J/mol  B=-487.2 J/(mol·K)")),
             qPrintable(diagram->chartView()->chartTitle()));
    QCOMPARE(diagramCombo(*diagram, "preset")->currentIndex(), -1);
    QVERIFY(diagram->isWindowModified());

    HeatsModel* model = diagram->heatsPanel()->model();
    for (int row = 2; row < model->rowCount(); ++row) {
      model->setData(model->index(row, HeatsModel::Fitted), Qt::Unchecked, Qt::CheckStateRole);
    }
    diagram->fitHeats();
    QVERIFY(!diagram->fittedLine());
    QVERIFY(labelText(*diagram, "fitResult").contains(QStringLiteral("至少3个")));
    QVERIFY(!adopt->isEnabled());

    diagram->findChild<QCheckBox*>(QStringLiteral("presetRange"))->setChecked(true);
    QCOMPARE(diagram->heatOverlay()->bandSeries().size(), diagram->inputs().coPressures.size());
  }

  // 采用 asks first, 取消 being the default, when R² is low or A or B lies
  // outside the span of the preset rows (Cr2O3: A 678000～743675, B
  // -477.721～-441.495), and says which; the answer decides.
  void adopting_a_doubtful_fit_asks_first_data() {
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<double>("spread");       // of the heats' p_CO about the line
    QTest::addColumn<QString>("answer");      // the button clicked; "" for no question
    QTest::addColumn<QStringList>("doubts");  // what the question names
    QTest::addColumn<QStringList>("notNamed");
    const QString spanA = QStringLiteral("范围678000～743675 J/mol");
    const QString spanB = QStringLiteral("范围-477.721～-441.495 J/(mol·K)");
    QTest::newRow("inside, exact") << 710000.0 << -460.0 << 1.0 << QString() << QStringList()
                                   << QStringList{QStringLiteral("R²"), spanA, spanB};
    QTest::newRow("low R², adopted") << 710000.0 << -460.0 << 10.0 << QStringLiteral("采用")
                                     << QStringList{QStringLiteral("R² = 0.")} << QStringList{spanA, spanB};
    QTest::newRow("A and B outside, cancelled")
        << 760000.0 << -487.2 << 1.0 << QStringLiteral("取消")
        << QStringList{QStringLiteral("A = 760000 J/mol在预设值的") + spanA,
                       QStringLiteral("B = -487.200 J/(mol·K)在预设值的") + spanB}
        << QStringList{QStringLiteral("R²")};
    QTest::newRow("B outside, adopted") << 710000.0 << -430.0 << 1.0 << QStringLiteral("采用")
                                        << QStringList{QStringLiteral("B = -430.000 J/(mol·K)在预设值的") + spanB}
                                        << QStringList{QStringLiteral("R²"), spanA};
  }
  void adopting_a_doubtful_fit_asks_first() {
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(double, spread);
    QFETCH(QString, answer);
    QFETCH(QStringList, doubts);
    QFETCH(QStringList, notNamed);
    EquilibriumDiagramWindow* diagram = openDiagram();
    QTemporaryDir folder;
    QVERIFY(!diagram->importHeats(writeFile(folder, QStringLiteral("plant.csv"), heatsOnLine({a, b}, spread))));
    diagram->fitHeats();
    QVERIFY(diagram->fittedLine());
    const QString typedA = entry(*diagram, "A")->text();
    DialogDriver driver;
    if (!answer.isEmpty()) driver.answerMessageBoxesWith(answer);
    const bool adopted = diagram->adoptFit();
    QVERIFY2(driver.problems().isEmpty(), qPrintable(driver.problems().join('\n')));
    if (answer.isEmpty()) {
      QVERIFY(driver.seen().isEmpty());
    } else {
      QCOMPARE(driver.seen().size(), 1);
      const SeenDialog& question = driver.seen().front();
      QCOMPARE(question.buttons, (QStringList{QStringLiteral("采用"), QStringLiteral("取消")}));
      QCOMPARE(question.defaultButton, QStringLiteral("取消"));
      for (const QString& doubt : doubts) QVERIFY2(question.text.contains(doubt), qPrintable(question.text));
      for (const QString& other : notNamed) QVERIFY2(!question.text.contains(other), qPrintable(question.text));
    }
    const bool expected = answer != QStringLiteral("取消");
    QCOMPARE(adopted, expected);
    QCOMPARE(entry(*diagram, "A")->text(), expected ? QString::number(a, 'f', 0) : typedA);
    QCOMPARE(diagram->isWindowModified(), expected);
  }
};

QTEST_MAIN(PlantHeatsUiTest)
#include "plant_heats_ui_test.moc"
