// SPDX-License-Identifier: Apache-2.0
// The equilibrium diagram 平衡曲线图 through the real frame, windows and
// dialogs: the menu 图表, where a new diagram takes its values from, the
// curves as drawn (compared with the core's family), edits and bad entries,
// and the window's life in the frame.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScatterSeries>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>

#include "calc/equilibrium_curve.h"
#include "calc/number_text.h"
#include "tests/ui/diagram_test_support.h"
#include "ui/calculator/calculation_window.h"
#include "ui/calculator/main_frame.h"

using namespace velkarin;
using namespace velkarin::test;

Q_DECLARE_METATYPE(velkarin::Reaction)
Q_DECLARE_METATYPE(velkarin::ImageFormat)

class EquilibriumDiagramUiTest : public DiagramTestCase {
  Q_OBJECT

 private slots:
  // The file menu before it is the frame's (its own suite checks it).
  void chart_menu_follows_the_file_menu() {
    const QList<QAction*> bar = frame_->menuBar()->actions();
    QCOMPARE(bar.size(), 4);
    QMenu* chart = bar[1]->menu();
    QVERIFY(chart);
    QCOMPARE(chart->objectName(), QStringLiteral("图表"));
    QCOMPARE(chart->title(), QStringLiteral("图表"));
    QStringList texts;
    for (const QAction* action : chart->actions())
      texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(texts,
             (QStringList{QStringLiteral("平衡曲线图"), QStringLiteral("-"), QStringLiteral("打开方案…"),
                          QStringLiteral("打开最近的方案"), QStringLiteral("保存方案"), QStringLiteral("方案另存为…"),
                          QStringLiteral("-"), QStringLiteral("导出报告(PDF)…"), QStringLiteral("打印…"),
                          QStringLiteral("-"), QStringLiteral("导入炉次数据…"), QStringLiteral("导入炉次记录…")}));
    QCOMPARE(chart->actions()[2]->shortcut(), QKeySequence(QKeySequence::Open));
    QCOMPARE(chart->actions()[4]->shortcut(), QKeySequence(QKeySequence::Save));
    QVERIFY(!frame_->diagramWindow());  // not opened at start-up
  }

  void opening_takes_the_active_windows_reaction_and_texts_data() {
    QTest::addColumn<Reaction>("reaction");
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("presetIndex");  // -1: none matches (自定义)
    QTest::newRow("Form1, first preset") << Reaction::Cr2O3 << "739938"
                                         << "-475.137" << 0;
    QTest::newRow("Form1, third preset picked") << Reaction::Cr2O3 << "742046"
                                                << "-474.045" << 2;
    QTest::newRow("Form2, first preset") << Reaction::Cr3O4 << "697890"
                                         << "-461.535" << 0;
    QTest::newRow("Form2, typed values") << Reaction::Cr3O4 << "700000"
                                         << "-460.5" << -1;
  }
  void opening_takes_the_active_windows_reaction_and_texts() {
    QFETCH(Reaction, reaction);
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, presetIndex);
    CalculationWindow* window = frame_->showCalculationWindow(reaction);
    combo(*window, "Combo1")->setEditText(a);
    combo(*window, "Combo2")->setEditText(b);
    QCOMPARE(frame_->activeCalculationWindow(), window);

    EquilibriumDiagramWindow* diagram = openDiagram();
    QVERIFY(diagram);
    QCOMPARE(subWindowOf(diagram)->windowTitle(), QStringLiteral("平衡曲线图[*]"));
    QVERIFY(!diagram->isWindowModified());
    QCOMPARE(workspace()->activeSubWindow(), subWindowOf(diagram));
    QCOMPARE(diagram->reaction(), reaction);
    QCOMPARE(diagramCombo(*diagram, "reaction")->currentIndex(), reaction == Reaction::Cr2O3 ? 0 : 1);
    QCOMPARE(entry(*diagram, "A")->text(), a);
    QCOMPARE(entry(*diagram, "B")->text(), b);
    QCOMPARE(diagramCombo(*diagram, "preset")->currentIndex(), presetIndex);
    QCOMPARE(diagram->inputs().line.a, a.toDouble());
    QCOMPARE(diagram->inputs().line.b, b.toDouble());
    // No completed calculation: the prompt defaults.
    QStringList composition;
    for (const char* name : {"Cr", "Ni", "Si", "Mn"}) composition << entry(*diagram, name)->text();
    QCOMPARE(composition, QStringList({"18", "9", "0", "0"}));
    QCOMPARE(entry(*diagram, "pressures")->text(), QStringLiteral("101325, 50000, 25000, 10000"));
    QCOMPARE(diagram->statusText(), QString());

    // What is drawn is the core's family for these inputs, point for point.
    const std::vector<EquilibriumCurve> expected = equilibriumCurveFamily(diagram->inputs());
    QCOMPARE(diagram->chartView()->curves().size(), expected.size());
    for (std::size_t curve = 0; curve < expected.size(); ++curve) {
      QCOMPARE(drawnPoints(*diagram, curve), corePoints(expected[curve]));
    }
  }

  void opening_without_an_active_calculation_window_uses_form1_data() {
    QTest::addColumn<bool>("closeForm1");
    QTest::addColumn<QString>("expectedA");
    QTest::newRow("Form1 hidden: its typed A") << false << "740000";
    QTest::newRow("Form1 closed: the first preset") << true << "739938";
  }
  void opening_without_an_active_calculation_window_uses_form1() {
    QFETCH(bool, closeForm1);
    QFETCH(QString, expectedA);
    CalculationWindow* form2 = frame_->showCalculationWindow(Reaction::Cr3O4);
    CalculationWindow* form1 = frame_->showCalculationWindow(Reaction::Cr2O3);
    combo(*form1, "Combo1")->setEditText(QStringLiteral("740000"));
    QTest::mouseClick(button(*form2, "Command2"), Qt::LeftButton);
    if (closeForm1) {
      subWindowOf(form1)->close();
    } else {
      QTest::mouseClick(button(*form1, "Command2"), Qt::LeftButton);
    }
    QVERIFY(!frame_->activeCalculationWindow());

    EquilibriumDiagramWindow* diagram = openDiagram();
    QCOMPARE(diagram->reaction(), Reaction::Cr2O3);
    QCOMPARE(entry(*diagram, "A")->text(), expectedA);
    QCOMPARE(entry(*diagram, "B")->text(), QStringLiteral("-475.137"));
  }

  void opening_takes_the_composition_of_the_last_completed_calculation() {
    CalculationWindow* form2 = frame_->showCalculationWindow(Reaction::Cr3O4);
    calculate(form2, {PromptAnswer::keep(), PromptAnswer::keep(), PromptAnswer::type("12.5"), PromptAnswer::type("8"),
                      PromptAnswer::type("0.4"), PromptAnswer::type("1.1"), PromptAnswer::keep()});
    // A cancelled calculation afterwards changes nothing.
    calculate(form2,
              {PromptAnswer::keep(), PromptAnswer::type("0.5"), PromptAnswer::type("30"), PromptAnswer::cancel()});
    QCOMPARE(frame_->activeCalculationWindow(), form2);

    EquilibriumDiagramWindow* diagram = openDiagram();
    QCOMPARE(diagram->reaction(), Reaction::Cr3O4);
    QStringList composition;
    for (const char* name : {"Cr", "Ni", "Si", "Mn"}) composition << entry(*diagram, name)->text();
    QCOMPARE(composition, QStringList({"12.5", "8", "0.4", "1.1"}));
    QCOMPARE(diagram->inputs().composition.chromium, 12.5);
    QCOMPARE(diagram->inputs().composition.manganese, 1.1);
  }

  void constants_that_are_no_numbers_fall_back_to_the_first_preset() {
    CalculationWindow* form1 = frame_->calculationWindow(Reaction::Cr2O3);
    combo(*form1, "Combo1")->setEditText(QStringLiteral("7.4e5x"));
    DialogDriver driver;
    EquilibriumDiagramWindow* diagram = openDiagram();
    QCOMPARE(driver.seen().size(), 0);  // said in the status line, not in a box
    QCOMPARE(entry(*diagram, "A")->text(), QStringLiteral("739938"));
    QCOMPARE(entry(*diagram, "B")->text(), QStringLiteral("-475.137"));
    QCOMPARE(diagramCombo(*diagram, "preset")->currentIndex(), 0);
    QCOMPARE(diagram->chartView()->curves().size(), std::size_t{4});
    const QString status = labelText(*diagram, "status");
    QCOMPARE(status, diagram->statusText());
    QVERIFY2(status.contains(QStringLiteral("Form1")) && status.contains(QStringLiteral("7.4e5x")) &&
                 status.contains(QStringLiteral("第一行预设")),
             qPrintable(status));
    // The note goes when the user chooses A and B.
    diagramCombo(*diagram, "preset")->setCurrentIndex(1);
    QCOMPARE(diagram->statusText(), QString());
  }

  void default_family_is_ordered_by_pressure_on_labelled_axes() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    const EquilibriumChartView& view = *diagram->chartView();
    QCOMPARE(legendNames(view),
             QStringList({"101325 Pa (1.000)", "50000 Pa (0.493)", "25000 Pa (0.247)", "10000 Pa (0.099)"}));
    QCOMPARE(view.temperatureAxis()->titleText(), QStringLiteral("熔池温度 t [℃]"));
    QCOMPARE(view.carbonAxis()->titleText(), QStringLiteral("平衡C浓度 [%C]"));
    QCOMPARE(view.carbonAxis()->base(), 10.0);
    QCOMPARE(view.temperatureAxis()->min(), 1400.0);
    QCOMPARE(view.temperatureAxis()->max(), 1900.0);

    const std::vector<Points> family = drawnFamily(*diagram);
    QCOMPARE(family.size(), std::size_t{4});
    for (std::size_t curve = 0; curve < family.size(); ++curve) {
      QCOMPARE(family[curve].size(), 501);
      QCOMPARE(family[curve].front().x(), 1400.0);
      QCOMPARE(family[curve].back().x(), 1900.0);
      // Every point inside the %C axis.
      for (const QPointF& p : family[curve]) {
        QVERIFY(p.y() > view.carbonAxis()->min() && p.y() < view.carbonAxis()->max());
      }
      if (curve == 0) continue;
      // Lower CO pressure, lower equilibrium carbon, at every temperature.
      for (qsizetype i = 0; i < family[curve].size(); ++i) QVERIFY(family[curve][i].y() < family[curve - 1][i].y());
    }
  }

  void composition_moves_the_curves_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("higher");  // equilibrium carbon rises at every point
    QTest::newRow("Cr 18 -> 24: more carbon") << "Cr"
                                              << "24" << true;
    QTest::newRow("Cr 18 -> 12: less carbon") << "Cr"
                                              << "12" << false;
    QTest::newRow("Cr 18 -> 18.5: more carbon") << "Cr"
                                                << "18.5" << true;
  }
  void composition_moves_the_curves() {
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(bool, higher);
    EquilibriumDiagramWindow* diagram = openDiagram();
    const std::vector<Points> before = drawnFamily(*diagram);
    entry(*diagram, field.toUtf8().constData())->setText(value);
    const std::vector<Points> after = drawnFamily(*diagram);
    QCOMPARE(after.size(), before.size());
    for (std::size_t curve = 0; curve < after.size(); ++curve) {
      QCOMPARE(after[curve].size(), before[curve].size());
      for (qsizetype i = 0; i < after[curve].size(); ++i) {
        QCOMPARE(after[curve][i].x(), before[curve][i].x());
        QVERIFY2(higher ? after[curve][i].y() > before[curve][i].y() : after[curve][i].y() < before[curve][i].y(),
                 qPrintable(QStringLiteral("curve %1 at %2 ℃").arg(curve).arg(after[curve][i].x())));
      }
    }
    QVERIFY(diagram->chartView()->chartTitle().contains(QStringLiteral("[%Cr]=") + entry(*diagram, "Cr")->text()));
  }

  void pressure_list_sets_the_curves() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    entry(*diagram, "pressures")->setText(QStringLiteral(" 5000 ,20000"));
    QCOMPARE(legendNames(*diagram->chartView()), QStringList({"5000 Pa (0.049)", "20000 Pa (0.197)"}));
    const std::vector<Points> family = drawnFamily(*diagram);
    QCOMPARE(family.size(), std::size_t{2});
    for (qsizetype i = 0; i < family[0].size(); ++i) QVERIFY(family[0][i].y() < family[1][i].y());
    QCOMPARE(diagram->inputs().coPressures, std::vector<double>({5000, 20000}));
  }

  void bad_entries_keep_the_last_curves_and_say_why_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason");
    QTest::newRow("pressure not a number") << "pressures"
                                           << "101325, abc"
                                           << "CO分压“abc”不是数字";
    QTest::newRow("thirteen pressures") << "pressures"
                                        << "1,2,3,4,5,6,7,8,9,10,11,12,13"
                                        << "CO分压最多12个";
    QTest::newRow("chromium zero") << "Cr"
                                   << "0"
                                   << "[%Cr]必须大于0";
    QTest::newRow("chromium with a unit") << "Cr"
                                          << "18%"
                                          << "[%Cr]“18%”不是数字";
    QTest::newRow("nickel empty") << "Ni"
                                  << ""
                                  << "[%Ni]“”不是数字";
    QTest::newRow("decimal comma in Mn") << "Mn"
                                         << "0,5"
                                         << "[%Mn]“0,5”不是数字";
    QTest::newRow("A not a number") << "A"
                                    << "7399x8"
                                    << "A“7399x8”不是数字";
    QTest::newRow("B empty") << "B"
                             << ""
                             << "B“”不是数字";
  }
  void bad_entries_keep_the_last_curves_and_say_why() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, reason);
    EquilibriumDiagramWindow* diagram = openDiagram();
    entry(*diagram, "Cr")->setText(QStringLiteral("16"));  // the last good entries
    const std::vector<Points> good = drawnFamily(*diagram);
    const QString goodTitle = diagram->chartView()->chartTitle();
    QLineEdit* edit = entry(*diagram, field.toUtf8().constData());
    const QString goodText = edit->text();

    edit->setText(text);
    QCOMPARE(drawnFamily(*diagram), good);
    QCOMPARE(diagram->inputs().composition.chromium, 16.0);
    QCOMPARE(diagram->chartView()->chartTitle(), goodTitle);
    const QString status = labelText(*diagram, "status");
    QVERIFY2(status.contains(reason) && status.contains(QStringLiteral("仍显示上次的曲线")), qPrintable(status));

    edit->setText(goodText);
    QCOMPARE(labelText(*diagram, "status"), QString());
    QCOMPARE(drawnFamily(*diagram), good);
  }

  void reaction_and_preset_controls_choose_a_and_b() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    const std::vector<Points> cr2o3 = drawnFamily(*diagram);
    diagramCombo(*diagram, "reaction")->setCurrentIndex(1);
    QCOMPARE(diagram->reaction(), Reaction::Cr3O4);
    QCOMPARE(diagramCombo(*diagram, "preset")->count(), 5);
    QCOMPARE(diagramCombo(*diagram, "preset")->currentIndex(), 0);
    QCOMPARE(entry(*diagram, "A")->text(), QStringLiteral("697890"));
    QCOMPARE(entry(*diagram, "B")->text(), QStringLiteral("-461.535"));
    QVERIFY(diagram->chartView()->chartTitle().startsWith(QStringLiteral("3[C]+3/4Cr3O4=9/4[Cr]+3CO")));
    QVERIFY(drawnFamily(*diagram) != cr2o3);

    diagramCombo(*diagram, "preset")->setCurrentIndex(3);
    QCOMPARE(entry(*diagram, "A")->text(), QStringLiteral("704299"));
    QCOMPARE(entry(*diagram, "B")->text(), QStringLiteral("-463.803"));
    QCOMPARE(diagram->inputs().line.a, 704299.0);

    // A typed value matches no preset; typing a preset's texts selects it again.
    entry(*diagram, "A")->setText(QStringLiteral("705000"));
    QCOMPARE(diagramCombo(*diagram, "preset")->currentIndex(), -1);
    QCOMPARE(diagram->inputs().line.a, 705000.0);
    entry(*diagram, "A")->setText(QStringLiteral("704299"));
    QCOMPARE(diagramCombo(*diagram, "preset")->currentIndex(), 3);

    diagramCombo(*diagram, "reaction")->setCurrentIndex(0);
    QCOMPARE(entry(*diagram, "A")->text(), QStringLiteral("739938"));
    QCOMPARE(drawnFamily(*diagram), cr2o3);
  }
};

QTEST_MAIN(EquilibriumDiagramUiTest)
#include "equilibrium_diagram_ui_test.moc"
