// The equilibrium diagram 平衡曲线图 through the real frame, windows and
// dialogs: the menu 图表, where a new diagram takes its values from, the
// curves as drawn (compared with the core's family), edits and bad entries,
// the heat point following calculations, the pointer readout, and the
// right-click menu (save PNG/SVG, copy the curve data).

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
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
#include "tests/ui/ui_test_support.h"
#include "ui/calculator/calculation_window.h"
#include "ui/calculator/main_frame.h"
#include "ui/diagram/diagram_input.h"
#include "ui/diagram/equilibrium_chart_view.h"
#include "ui/diagram/equilibrium_diagram_window.h"

using namespace velkarin;
using namespace velkarin::test;

Q_DECLARE_METATYPE(velkarin::Reaction)
Q_DECLARE_METATYPE(velkarin::ImageFormat)

namespace {

using Points = QList<QPointF>;

QLineEdit* entry(const QWidget& diagram, const char* name) {
  return diagram.findChild<QLineEdit*>(QString::fromUtf8(name));
}
QComboBox* diagramCombo(const QWidget& diagram, const char* name) {
  return diagram.findChild<QComboBox*>(QString::fromUtf8(name));
}
QString labelText(const QWidget& diagram, const char* name) {
  return diagram.findChild<QLabel*>(QString::fromUtf8(name))->text();
}

// Every point drawn for one curve, its stretches between gaps joined.
Points drawnPoints(const EquilibriumDiagramWindow& diagram, std::size_t curve) {
  Points points;
  for (const QLineSeries* series : diagram.chartView()->curveSeries(curve)) points += series->points();
  return points;
}

std::vector<Points> drawnFamily(const EquilibriumDiagramWindow& diagram) {
  std::vector<Points> family;
  for (std::size_t curve = 0; curve < diagram.chartView()->curves().size(); ++curve) {
    family.push_back(drawnPoints(diagram, curve));
  }
  return family;
}

// The core's curve as chart points, gaps left out.
Points corePoints(const EquilibriumCurve& curve) {
  Points points;
  for (const CurvePoint& point : curve.points) {
    if (point.carbon.carbon) points << QPointF(point.temperatureCelsius, *point.carbon.carbon);
  }
  return points;
}

// The entries of the legend as drawn (the legend lays its markers out, and
// shows them, from the event loop).
QStringList legendNames(const EquilibriumChartView& view) {
  QCoreApplication::processEvents();
  QStringList names;
  for (const QLegendMarker* marker : view.chart()->legend()->markers()) {
    if (marker->isVisible()) names << marker->label();
  }
  return names;
}

std::optional<QPointF> heatPoint(const EquilibriumDiagramWindow& diagram) {
  const QScatterSeries* heat = diagram.chartView()->heatSeries();
  if (heat->count() == 0) return std::nullopt;
  return heat->at(0);
}

QList<PromptAnswer> answers(const QString& temperature, const QString& carbon, const QString& chromium = {}) {
  QList<PromptAnswer> list{PromptAnswer::type(temperature), PromptAnswer::type(carbon)};
  list << (chromium.isEmpty() ? PromptAnswer::keep() : PromptAnswer::type(chromium));
  list << keepDefaults(4);
  return list;
}

}  // namespace

class EquilibriumDiagramUiTest : public FrameTestCase {
  Q_OBJECT

  QMdiArea* workspace() const { return frame_->findChild<QMdiArea*>(); }
  QMdiSubWindow* subWindowOf(QWidget* window) const { return qobject_cast<QMdiSubWindow*>(window->parentWidget()); }

  EquilibriumDiagramWindow* openDiagram() {
    frame_->findChild<QAction*>(QStringLiteral("平衡曲线图"))->trigger();
    return frame_->diagramWindow();
  }

  // Calculates in `window` with the answers; the offscreen platform leaves
  // no window active after a dialog, so the frame is activated again as a
  // window manager would.
  void calculate(CalculationWindow* window, const QList<PromptAnswer>& script) {
    DialogDriver driver(script);
    clickCalculate(*window, driver);
    QCOMPARE(driver.problems(), QStringList());
    QCOMPARE(driver.seen(SeenDialog::Kind::Critical).size(), 0);
    frame_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
    workspace()->setActiveSubWindow(subWindowOf(window));
  }

 private slots:
  void chart_menu_follows_an_unchanged_file_menu() {
    const QList<QAction*> bar = frame_->menuBar()->actions();
    QCOMPARE(bar.size(), 2);
    QCOMPARE(bar[0]->menu()->objectName(), QStringLiteral("文件"));
    QStringList fileItems;
    for (const QAction* item : bar[0]->menu()->actions()) fileItems << item->objectName() + '=' + item->text();
    QCOMPARE(fileItems,
             QStringList({"脱碳计算1=产物为Cr2O3的脱碳计算", "脱碳计算2=产物为Cr3O4的脱碳计算", "退出=退出"}));
    QMenu* chart = bar[1]->menu();
    QVERIFY(chart);
    QCOMPARE(chart->objectName(), QStringLiteral("图表"));
    QCOMPARE(chart->title(), QStringLiteral("图表"));
    QCOMPARE(chart->actions().size(), 1);
    QCOMPARE(chart->actions()[0]->text(), QStringLiteral("平衡曲线图"));
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
    QCOMPARE(subWindowOf(diagram)->windowTitle(), QStringLiteral("平衡曲线图"));
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
    QVERIFY(diagram->chartView()->chart()->title().contains(QStringLiteral("[%Cr]=") + entry(*diagram, "Cr")->text()));
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
    QTest::newRow("empty pressure item") << "pressures"
                                         << "101325,,5000"
                                         << "CO分压列表中有空项";
    QTest::newRow("trailing comma") << "pressures"
                                    << "101325,"
                                    << "CO分压列表中有空项";
    QTest::newRow("zero pressure") << "pressures"
                                   << "50000, 0"
                                   << "CO分压0 Pa不大于0";
    QTest::newRow("negative pressure") << "pressures"
                                       << "-5"
                                       << "CO分压-5 Pa不大于0";
    QTest::newRow("no pressure") << "pressures"
                                 << "  "
                                 << "请输入至少一个CO分压";
    QTest::newRow("pressure beyond double") << "pressures"
                                            << "1e400"
                                            << "CO分压“1e400”不是数字";
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
    const QString goodTitle = diagram->chartView()->chart()->title();
    QLineEdit* edit = entry(*diagram, field.toUtf8().constData());
    const QString goodText = edit->text();

    edit->setText(text);
    QCOMPARE(drawnFamily(*diagram), good);
    QCOMPARE(diagram->inputs().composition.chromium, 16.0);
    QCOMPARE(diagram->chartView()->chart()->title(), goodTitle);
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
    QVERIFY(diagram->chartView()->chart()->title().startsWith(QStringLiteral("3[C]+3/4Cr3O4=9/4[Cr]+3CO")));
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

  void heat_point_follows_calculations_data() {
    QTest::addColumn<Reaction>("reaction");
    QTest::newRow("Form1") << Reaction::Cr2O3;
    QTest::newRow("Form2") << Reaction::Cr3O4;
  }
  void heat_point_follows_calculations() {
    QFETCH(Reaction, reaction);
    CalculationWindow* window = frame_->showCalculationWindow(reaction);
    EquilibriumDiagramWindow* diagram = openDiagram();
    QCOMPARE(diagram->reaction(), reaction);
    QVERIFY(!heatPoint(*diagram));
    QVERIFY(!legendNames(*diagram->chartView()).contains(QStringLiteral("上次计算的炉次")));

    calculate(window, answers("1700", "0.5"));
    QCOMPARE(heatPoint(*diagram), QPointF(1700, 0.5));
    QVERIFY(!diagram->chartView()->heatSeries()->pointLabelsClipping());  // "1700 ℃, 0.5 %C" beside it
    QVERIFY(legendNames(*diagram->chartView()).contains(QStringLiteral("上次计算的炉次")));

    calculate(window, answers("1580", "0.08"));
    QCOMPARE(heatPoint(*diagram), QPointF(1580, 0.08));
    // The %C axis reaches down to the heat.
    QVERIFY(diagram->chartView()->carbonAxis()->min() < 0.08);

    // A calculation outside the temperatures drawn is said in the status line.
    calculate(window, answers("1350", "0.3"));
    QCOMPARE(heatPoint(*diagram), QPointF(1350, 0.3));
    QVERIFY2(diagram->statusText().contains(QStringLiteral("t=1350℃")), qPrintable(diagram->statusText()));
    QVERIFY(diagram->chartView()->heatSeries()->pointLabelsClipping());  // no label over the %C axis
  }

  void heat_point_belongs_to_the_reaction_shown() {
    CalculationWindow* form1 = frame_->calculationWindow(Reaction::Cr2O3);
    calculate(form1, answers("1650", "2.2"));
    EquilibriumDiagramWindow* diagram = openDiagram();  // after the calculation: the point is there at once
    QCOMPARE(heatPoint(*diagram), QPointF(1650, 2.2));

    // Form2 is created after the diagram; its calculations reach the diagram too.
    CalculationWindow* form2 = frame_->showCalculationWindow(Reaction::Cr3O4);
    calculate(form2, answers("1620", "0.35"));
    QCOMPARE(heatPoint(*diagram), QPointF(1650, 2.2));  // Cr2O3 shown: still Form1's heat
    diagramCombo(*diagram, "reaction")->setCurrentIndex(1);
    QCOMPARE(heatPoint(*diagram), QPointF(1620, 0.35));
    diagramCombo(*diagram, "reaction")->setCurrentIndex(0);
    QCOMPARE(heatPoint(*diagram), QPointF(1650, 2.2));

    // A discarded window has no last calculation any more.
    subWindowOf(form1)->close();
    QVERIFY(!heatPoint(*diagram));
    diagramCombo(*diagram, "reaction")->setCurrentIndex(1);
    QCOMPARE(heatPoint(*diagram), QPointF(1620, 0.35));
  }

  void one_diagram_at_most_brought_to_front_with_its_entries_kept() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    entry(*diagram, "Cr")->setText(QStringLiteral("13"));
    CalculationWindow* form2 = frame_->showCalculationWindow(Reaction::Cr3O4);
    QCOMPARE(frame_->activeCalculationWindow(), form2);

    QCOMPARE(openDiagram(), diagram);
    QCOMPARE(workspace()->subWindowList().size(), 3);
    QCOMPARE(workspace()->activeSubWindow(), subWindowOf(diagram));
    QCOMPARE(workspace()->subWindowList(QMdiArea::StackingOrder).last(), subWindowOf(diagram));
    QCOMPARE(diagram->reaction(), Reaction::Cr2O3);  // not re-read from the now-active Form2
    QCOMPARE(entry(*diagram, "Cr")->text(), QStringLiteral("13"));
  }

  void close_and_reopen_starts_fresh() {
    QPointer<EquilibriumDiagramWindow> diagram = openDiagram();
    entry(*diagram, "Cr")->setText(QStringLiteral("13"));
    entry(*diagram, "pressures")->setText(QStringLiteral("2000"));
    diagramCombo(*diagram, "reaction")->setCurrentIndex(1);
    QVERIFY(subWindowOf(diagram)->close());
    QVERIFY(!frame_->diagramWindow());
    QTRY_VERIFY(diagram.isNull());

    frame_->showCalculationWindow(Reaction::Cr2O3);
    EquilibriumDiagramWindow* fresh = openDiagram();
    QVERIFY(fresh);
    QCOMPARE(fresh->reaction(), Reaction::Cr2O3);
    QCOMPARE(entry(*fresh, "Cr")->text(), QStringLiteral("18"));
    QCOMPARE(entry(*fresh, "pressures")->text(), QStringLiteral("101325, 50000, 25000, 10000"));
    QCOMPARE(workspace()->subWindowList().size(), 2);
  }

  void program_ends_with_the_diagram_open_data() {
    QTest::addColumn<bool>("throughMenu");
    QTest::newRow("menu item 退出") << true;
    QTest::newRow("frame close button") << false;
  }
  void program_ends_with_the_diagram_open() {
    QFETCH(bool, throughMenu);
    calculate(frame_->calculationWindow(Reaction::Cr2O3), answers("1650", "2.2"));
    QPointer<EquilibriumDiagramWindow> diagram = openDiagram();
    DialogDriver driver;
    if (throughMenu) {
      frame_->findChild<QAction*>(QStringLiteral("退出"))->trigger();
    } else {
      QVERIFY(frame_->close());
    }
    QVERIFY(!frame_->isVisible());
    QCOMPARE(driver.seen().size(), 0);
    QVERIFY(diagram.isNull() || !diagram->isVisible());
  }

  void diagram_is_resizable_and_fits_the_workspace() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    QMdiSubWindow* subWindow = subWindowOf(diagram);
    QVERIFY(subWindow->minimumSize() != subWindow->maximumSize());
    QVERIFY(workspace()->viewport()->rect().contains(subWindow->geometry()));
    subWindow->resize(subWindow->size() - QSize(100, 50));
    QVERIFY(diagram->chartView()->isVisible());
  }

  void pointer_on_a_curve_shows_its_computed_point_data() {
    QTest::addColumn<int>("curve");
    QTest::addColumn<QPointF>("pointer");
    QTest::addColumn<bool>("click");
    QTest::addColumn<double>("temperature");  // °C of the nearest curve point
    QTest::newRow("hover 101325 Pa near 1650") << 0 << QPointF(1650.3, 0.4) << false << 1650.0;
    QTest::newRow("hover 25000 Pa just below 1723") << 2 << QPointF(1722.6, 0.05) << false << 1723.0;
    QTest::newRow("click 10000 Pa at the end") << 3 << QPointF(1899.9, 0.0065) << true << 1900.0;
    QTest::newRow("click 50000 Pa at the start") << 1 << QPointF(1400.2, 1.1) << true << 1400.0;
  }
  void pointer_on_a_curve_shows_its_computed_point() {
    QFETCH(int, curve);
    QFETCH(QPointF, pointer);
    QFETCH(bool, click);
    QFETCH(double, temperature);
    EquilibriumDiagramWindow* diagram = openDiagram();
    QLineSeries* series = diagram->chartView()->curveSeries(std::size_t(curve)).front();
    if (click) {
      emit series->clicked(pointer);
    } else {
      emit series->hovered(pointer, true);
    }
    const EquilibriumCurve& expected = diagram->chartView()->curves()[std::size_t(curve)];
    const CurvePoint& point = expected.points[std::size_t(temperature - 1400)];
    QCOMPARE(point.temperatureCelsius, temperature);
    const QString text = labelText(*diagram, "pointer");
    QVERIFY2(text.contains(QStringLiteral("t = %1 ℃").arg(temperature)), qPrintable(text));
    QVERIFY2(text.contains(QString::fromStdString(formatPattern(*point.carbon.carbon, DigitPattern::Decimals6))),
             qPrintable(text));
    QVERIFY2(text.contains(QString::fromStdString(expected.label)), qPrintable(text));
  }

  void pointer_on_the_heat_shows_its_inputs() {
    CalculationWindow* form1 = frame_->calculationWindow(Reaction::Cr2O3);
    calculate(form1, {PromptAnswer::type("1680"), PromptAnswer::type("0.45"), PromptAnswer::keep(),
                      PromptAnswer::keep(), PromptAnswer::keep(), PromptAnswer::keep(), PromptAnswer::type("30000")});
    EquilibriumDiagramWindow* diagram = openDiagram();
    emit diagram->chartView()->heatSeries()->hovered(QPointF(1680, 0.45), true);
    const QString text = labelText(*diagram, "pointer");
    QVERIFY2(text.contains(QStringLiteral("t = 1680 ℃")) && text.contains(QStringLiteral("[%C] = 0.45")) &&
                 text.contains(QStringLiteral("30000 Pa")),
             qPrintable(text));
  }

  void right_click_offers_save_and_copy() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    EquilibriumChartView* view = diagram->chartView();
    const QPoint at = view->viewport()->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
    QApplication::sendEvent(view->viewport(), &event);
    QMenu* menu = view->contextMenu();
    QTRY_VERIFY(menu->isVisible());
    QStringList items;
    for (const QAction* action : menu->actions()) items << action->text();
    QCOMPARE(items, QStringList({"保存为PNG…", "保存为SVG…", "复制曲线数据"}));
    menu->close();
  }

  void copy_puts_the_curve_table_on_the_clipboard() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    entry(*diagram, "pressures")->setText(QStringLiteral("101325, 100"));  // with a gap at the hot end
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    diagram->chartView()->contextMenu()->findChild<QAction*>(QStringLiteral("copyCurveData"))->trigger();
    const QString text = QGuiApplication::clipboard()->text();
    QCOMPARE(text, QString::fromStdString(curveFamilyTsv(equilibriumCurveFamily(diagram->inputs()))));
    const QStringList lines = text.split('\n');
    QCOMPARE(lines.size(), 503);  // header, 501 temperatures, nothing after the last "\n"
    QCOMPARE(lines[0], QStringLiteral("t/℃\t101325 Pa (1.000)\t100 Pa (0.001)"));
    QVERIFY(lines[1].startsWith(QStringLiteral("1400\t1.662443\t0.00")));
    QVERIFY(lines[501].startsWith(QStringLiteral("1900\t0.063229\t")) && lines[501].endsWith('\t'));  // the gap
  }

  void gaps_leave_the_line_open() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    entry(*diagram, "pressures")->setText(QStringLiteral("100"));
    const EquilibriumCurve& curve = diagram->chartView()->curves().front();
    const Points drawn = drawnPoints(*diagram, 0);
    QCOMPARE(drawn, corePoints(curve));
    QVERIFY(drawn.size() > 10 && drawn.size() < 501);  // the hot end has no equilibrium carbon in range
    QCOMPARE(drawn.front().x(), 1400.0);
    for (const QPointF& p : drawn) QVERIFY(p.y() >= 0.001);
    QVERIFY2(diagram->statusText().contains(QStringLiteral("100 Pa (0.001)：有%1个温度").arg(501 - drawn.size())),
             qPrintable(diagram->statusText()));
  }

  // Stretches between gaps are separate series: one legend entry per curve,
  // one colour, and no series spans a gap.
  void gaps_split_a_curve_into_series() {
    auto point = [](double t, std::optional<double> c) {
      return CurvePoint{t, {c, c ? CarbonGap::None : CarbonGap::BelowRange}};
    };
    EquilibriumCurve split{100, "100 Pa (0.001)", {}};
    split.points = {point(1400, 0.5), point(1401, 0.4),          point(1402, std::nullopt), point(1403, std::nullopt),
                    point(1404, 0.3), point(1405, std::nullopt), point(1406, 0.2)};
    EquilibriumCurve whole{200, "200 Pa (0.002)", {}};
    for (const CurvePoint& p : split.points) whole.points.push_back(point(p.temperatureCelsius, 0.6));
    EquilibriumChartView view;
    view.showCurves({split, whole});
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    const QList<QLineSeries*>& segments = view.curveSeries(0);
    QCOMPARE(segments.size(), 3);
    QCOMPARE(segments[0]->points(), Points({{1400, 0.5}, {1401, 0.4}}));
    QCOMPARE(segments[1]->points(), Points({{1404, 0.3}}));
    QCOMPARE(segments[2]->points(), Points({{1406, 0.2}}));
    for (const QLineSeries* s : segments) QCOMPARE(s->pen().color(), segments[0]->pen().color());
    QCOMPARE(view.curveSeries(1).size(), 1);
    QVERIFY(view.curveSeries(1)[0]->pen().color() != segments[0]->pen().color());
    QCOMPARE(legendNames(view), QStringList({"100 Pa (0.001)", "200 Pa (0.002)"}));

    // Shown again with fewer curves: nothing of the old ones is left.
    view.showCurves({whole});
    QCOMPARE(view.chart()->series().size(), 2);  // the line and the heat
  }

  void save_writes_the_chart_data() {
    QTest::addColumn<ImageFormat>("format");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("PNG") << ImageFormat::Png << "diagram.png";
    QTest::newRow("SVG") << ImageFormat::Svg << "diagram.svg";
  }
  void save_writes_the_chart() {
    QFETCH(ImageFormat, format);
    QFETCH(QString, fileName);
    EquilibriumDiagramWindow* diagram = openDiagram();
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(fileName);
    DialogDriver driver;
    QVERIFY(diagram->chartView()->saveImage(path, format));
    QCOMPARE(driver.seen().size(), 0);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.size() > 1000);
    if (format == ImageFormat::Png) {
      QImage image;
      QVERIFY(image.loadFromData(bytes, "PNG"));
      QCOMPARE(image.size(), diagram->chartView()->size());
    } else {
      QVERIFY(bytes.contains("<svg"));
      QVERIFY(bytes.contains("</svg>"));
      QVERIFY(QString::fromUtf8(bytes).contains(QStringLiteral("平衡曲线图")));
    }
  }

  void save_to_a_folder_that_does_not_exist_says_so_data() { save_writes_the_chart_data(); }
  void save_to_a_folder_that_does_not_exist_says_so() {
    QFETCH(ImageFormat, format);
    QFETCH(QString, fileName);
    EquilibriumDiagramWindow* diagram = openDiagram();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("missing/") + fileName);
    QVERIFY(diagram->chartView()->writeImage(path, format).has_value());
    DialogDriver driver;
    QVERIFY(!diagram->chartView()->saveImage(path, format));
    QTRY_COMPARE(driver.seen(SeenDialog::Kind::Critical).size(), 1);
    QVERIFY(driver.seen(SeenDialog::Kind::Critical)[0].text.contains(path));
    QVERIFY(!QFile::exists(path));
  }

  void pressure_list_reading_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<double>>("pressures");  // empty: a problem
    QTest::newRow("default") << defaultPressureListText() << QList<double>{101325, 50000, 25000, 10000};
    QTest::newRow("one") << "50662.5" << QList<double>{50662.5};
    QTest::newRow("blanks and exponent") << " 1e5 ,\t2.5E4 " << QList<double>{100000, 25000};
    QTest::newRow("order kept, repeats allowed") << "100,20000,100" << QList<double>{100, 20000, 100};
    QTest::newRow("twelve") << "1,2,3,4,5,6,7,8,9,10,11,12" << QList<double>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    QTest::newRow("semicolons") << "101325; 50000" << QList<double>{};
    QTest::newRow("unit") << "101325 Pa" << QList<double>{};
    QTest::newRow("full-width digits") << "１０１３２５，\u3000５００００"
                                       << QList<double>{};  // a full-width comma is no separator
    QTest::newRow("full-width number") << "１０１３２５, ５００００" << QList<double>{101325, 50000};
    QTest::newRow("nan") << "nan" << QList<double>{};
    QTest::newRow("infinity") << "inf" << QList<double>{};
  }
  void pressure_list_reading() {
    QFETCH(QString, text);
    QFETCH(QList<double>, pressures);
    const PressureListReading reading = readPressureList(text);
    QCOMPARE(QList<double>(reading.pressures.begin(), reading.pressures.end()), pressures);
    QCOMPARE(reading.problem.isEmpty(), !pressures.isEmpty());
  }
};

QTEST_MAIN(EquilibriumDiagramUiTest)
#include "equilibrium_diagram_ui_test.moc"
