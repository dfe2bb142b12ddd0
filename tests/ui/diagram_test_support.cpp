// SPDX-License-Identifier: Apache-2.0
#include "tests/ui/diagram_test_support.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QScatterSeries>
#include <QTest>
#include <QTimer>

#include "ui/calculator/calculation_window.h"
#include "ui/calculator/main_frame.h"

namespace velkarin::test {

Plan shiftPlan() {
  Plan plan;
  plan.reaction = Reaction::Cr3O4;
  plan.constants = {"697890", "-461.535"};
  plan.otherConstants = {"739938", "-475.137"};
  plan.composition = {"18", "9", "0.3", "1.2"};
  plan.pressures = "3:1, 1:1, 1:3";
  plan.totalPressure = "101325";
  plan.coShare = "0.95";
  plan.bothOxides = true;
  plan.target = "0.03";
  plan.heat = {"80", "1.5", "40", "72", "2"};
  plan.stages = {{"3:1", "1600", "0.60", ""}, {"1:1", "1680", "0.15", "300"}, {"1:3", "1720", "0.04", ""}};
  plan.note = "第2炉 早班";
  plan.extraMembers = {{"shift", "\"B\""}};
  return plan;
}

QByteArray fileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void answerQuestionWith(const QString& text) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, text] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    for (QAbstractButton* button : box->buttons()) {
      if (button->text() == text) button->click();
    }
    // Stopped now: deleted only once the outer event loop runs again, it
    // would otherwise answer the next question too.
    timer->stop();
    timer->deleteLater();
  });
  timer->start();
}

QLineEdit* entry(const QWidget& diagram, const char* name) {
  return diagram.findChild<QLineEdit*>(QString::fromUtf8(name));
}
QComboBox* diagramCombo(const QWidget& diagram, const char* name) {
  return diagram.findChild<QComboBox*>(QString::fromUtf8(name));
}
QString labelText(const QWidget& diagram, const char* name) {
  return diagram.findChild<QLabel*>(QString::fromUtf8(name))->text();
}

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

Points corePoints(const EquilibriumCurve& curve) {
  Points points;
  for (const CurvePoint& point : curve.points) {
    if (point.carbon.carbon) points << QPointF(point.temperatureCelsius, *point.carbon.carbon);
  }
  return points;
}

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

QList<PromptAnswer> answers(const QString& temperature, const QString& carbon, const QString& chromium) {
  QList<PromptAnswer> list{PromptAnswer::type(temperature), PromptAnswer::type(carbon)};
  list << (chromium.isEmpty() ? PromptAnswer::keep() : PromptAnswer::type(chromium));
  list << keepDefaults(4);
  return list;
}

QMdiArea* DiagramTestCase::workspace() const { return frame_->findChild<QMdiArea*>(); }

QMdiSubWindow* DiagramTestCase::subWindowOf(QWidget* window) {
  return qobject_cast<QMdiSubWindow*>(window->parentWidget());
}

EquilibriumDiagramWindow* DiagramTestCase::openDiagram() {
  frame_->findChild<QAction*>(QStringLiteral("平衡曲线图"))->trigger();
  return frame_->diagramWindow();
}

void DiagramTestCase::calculate(CalculationWindow* window, const QList<PromptAnswer>& script) {
  DialogDriver driver(script);
  clickCalculate(*window, driver);
  QCOMPARE(driver.problems(), QStringList());
  QCOMPARE(driver.seen(SeenDialog::Kind::Critical).size(), 0);
  frame_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
  workspace()->setActiveSubWindow(subWindowOf(window));
}

}  // namespace velkarin::test
