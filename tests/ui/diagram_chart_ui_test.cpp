// SPDX-License-Identifier: Apache-2.0
// The chart of the equilibrium diagram: the heat point following the
// calculations, the pointer readout, the right-click menu (save PNG/SVG, copy
// the curve data) and curves with gaps.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
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
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>
#include <QValueAxis>

#include "calc/equilibrium_curve.h"
#include "calc/number_text.h"
#include "tests/ui/diagram_test_support.h"
#include "ui/calculator/calculation_window.h"
#include "ui/calculator/main_frame.h"
#include "ui/model/plan_document.h"

using namespace velkarin;
using namespace velkarin::test;

Q_DECLARE_METATYPE(velkarin::Reaction)
Q_DECLARE_METATYPE(velkarin::ImageFormat)

class DiagramChartUiTest : public DiagramTestCase {
  Q_OBJECT

 private slots:
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
    answerQuestionWith(QStringLiteral("不保存"));  // the entries were edited: close asks
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
    frame_->resize(1024, 700);  // the smallest screen the diagram is laid out for
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
    const qsizetype before = view.chart()->series().size();
    view.showCurves({whole});
    QCOMPARE(view.chart()->series().size(), before - 3);  // the split curve's three stretches
    QCOMPARE(legendNames(view), QStringList({"200 Pa (0.002)"}));
  }

  // Another reaction takes the other oxide's A and B from its window;
  // undone, the plan is the one opened again, its other oxide's A and B too.
  void undoing_a_reaction_switch_gives_the_opened_plan_back() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    const Plan opened = shiftPlan();
    diagram->setPlan(opened);
    QComboBox* reaction = diagramCombo(*diagram, "reaction");
    reaction->setCurrentIndex(1 - reaction->currentIndex());
    QVERIFY(diagram->plan().reaction != opened.reaction);
    QVERIFY(diagram->isWindowModified());
    diagram->document().history().undo();
    QCOMPARE(diagram->plan().otherConstants.a, opened.otherConstants.a);
    QVERIFY(diagram->plan() == opened);
    QVERIFY(!diagram->isWindowModified());
  }

  // However the pressures are listed, two legend entries never say the same:
  // a repeated item draws its line once in the legend, with both oxides too.
  void legend_entries_never_repeat_data() {
    QTest::addColumn<QString>("pressures");
    QTest::addColumn<bool>("bothOxides");
    QTest::addColumn<int>("entries");  // the curves' legend entries
    QTest::newRow("a pressure twice") << QStringLiteral("50000, 50000, 10000") << false << 2;
    QTest::newRow("a ratio twice, both oxides") << QStringLiteral("3:1, 3:1") << true << 1;
    QTest::newRow("all different") << QStringLiteral("3:1, 50000") << true << 2;
  }
  void legend_entries_never_repeat() {
    QFETCH(QString, pressures);
    QFETCH(bool, bothOxides);
    QFETCH(int, entries);
    EquilibriumDiagramWindow* diagram = openDiagram();
    entry(*diagram, "pressures")->setText(pressures);
    diagram->findChild<QCheckBox*>(QStringLiteral("bothOxides"))->setChecked(bothOxides);
    const QStringList names = legendNames(*diagram->chartView());
    QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), names.size());
    QCOMPARE(names.filter(QStringLiteral("Pa")).size(), entries);
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
};

QTEST_MAIN(DiagramChartUiTest)
#include "diagram_chart_ui_test.moc"
