// SPDX-License-Identifier: Apache-2.0
#include "ui/diagram/heats_sheet.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QStringList>
#include <QTabBar>
#include <QTabWidget>
#include <atomic>

#include "calc/line_fit.h"
#include "calc/number_text.h"
#include "calc/preset_band.h"
#include "calc/reaction_data.h"
#include "ui/common/qt_text.h"
#include "ui/diagram/diagram_rows.h"
#include "ui/diagram/equilibrium_chart_view.h"
#include "ui/diagram/heat_overlay.h"
#include "ui/diagram/heats_panel.h"
#include "ui/diagram/worker_progress.h"
#include "ui/model/plan_document.h"
#include "ui/model/plan_session.h"
#include "words/chinese.h"

namespace velkarin {

using namespace diagram;

namespace {

// A fit explains this share of the heats' ΔG spread at least, or 采用 asks.
constexpr double leastTrustedR2 = 0.5;

// Why a fit's A and B (as they would be adopted) may not be worth adopting:
// a low R², a constant outside the span of the reaction's preset rows. Empty
// when there is no doubt.
QStringList fitDoubts(const FittedLineTexts& fitted, double r2, Reaction reaction) {
  QStringList doubts;
  if (r2 < leastTrustedR2) {
    doubts << QStringLiteral("R² = %1，低于%2")
                  .arg(toQString(formatPattern(r2, DigitPattern::Decimals3)), shortest(leastTrustedR2));
  }
  const PresetSpan span = presetSpan(reaction);
  const auto outside = [&](const char* name, const std::string& text, double low, double high, const char* unit) {
    const double value = readConstantText(text).value;
    if (value >= low && value <= high) return;
    doubts << QStringLiteral("%1 = %2 %3在预设值的范围%4～%5 %3之外")
                  .arg(QString::fromUtf8(name), toQString(text), QString::fromUtf8(unit), shortest(low),
                       shortest(high));
  };
  outside("A", fitted.a, span.lowA, span.highA, "J/mol");
  outside("B", fitted.b, span.lowB, span.highB, "J/(mol·K)");
  return doubts;
}

}  // namespace

HeatsSheet::HeatsSheet(PlanDocument& document, const PlanSession& session, const SheetPlaces& places)
    : QObject(places.window), document_(document), session_(session), places_(places) {
  panel_ = new HeatsPanel(heats_.heats(), heats_.figures(), places.window);
  panel_->hide();
  connect(panel_, &HeatsPanel::fitRequested, this, &HeatsSheet::fitHeats);
  connect(panel_, &HeatsPanel::adoptRequested, this, &HeatsSheet::adoptFit);
  connect(panel_, &HeatsPanel::presetRangeToggled, this, &HeatsSheet::showPresetRange);
}

HeatLines HeatsSheet::lines() const {
  const CurveFamilyInputs& family = session_.entries().family;
  return {family.reaction, family.line, session_.otherLine()};
}

// The heats are read and their figures computed on a worker: the window
// keeps drawing, and 取消 stops the reading between rows.
std::optional<QString> HeatsSheet::importHeats(const QString& path) {
  std::atomic<qint64> bytes{0};
  std::atomic<bool> cancel{false};
  const qint64 size = std::max<qint64>(QFileInfo(path).size(), 1);
  const HeatLines under = lines();
  HeatImport result = runWithProgress(
      places_.window, QStringLiteral("导入炉次数据"), QStringLiteral("正在读取并计算炉次数据…"), 1000, cancel,
      [&] { return PlantHeats::read(path, under, bytes, cancel); },
      [&](QProgressDialog& progress) { progress.setValue(static_cast<int>(bytes * 1000 / size) % 1001); });
  const QString name = QDir::toNativeSeparators(path);
  if (!result.problem.isEmpty()) return QStringLiteral("无法读取“%1”：%2").arg(name, result.problem);
  if (result.read.error) {
    return QStringLiteral("无法导入“%1”：%2").arg(name, toQString(describe(*result.read.error)));
  }
  if (result.read.cancelled) return QStringLiteral("已取消：没有导入任何炉次");
  if (result.read.heats.empty()) return QStringLiteral("“%1”中没有炉次").arg(name);
  heats_.take(std::move(result), under);
  pointsShown_ = false;
  panel_->showFitResult(QString(), false);
  panel_->model()->reload();
  if (places_.sheetTabs->indexOf(panel_) < 0) {
    places_.sheetTabs->addTab(panel_, QStringLiteral("炉次数据"));
    places_.chartTabs->addTab(panel_->parity(), QStringLiteral("实测对比"));
    // The chart's tab bar that now shows takes no height from the chart:
    // the frame around the diagram grows by it (the workspace scrolls where
    // it lacks room). The sheets' tab bar shows from the start.
    if (QWidget* frame = places_.window->parentWidget())
      frame->resize(frame->width(), frame->height() + places_.chartTabs->tabBar()->sizeHint().height());
  }
  show();
  return std::nullopt;
}

void HeatsSheet::askAndImportHeats(const QString& path) {
  if (const std::optional<QString> problem = importHeats(path)) {
    QMessageBox::warning(places_.window, QStringLiteral("导入炉次数据"), *problem);
  }
}

// The heats' figures under the lines shown (computed again when a line or
// the reaction changes), then the points, the table, the parity plot, the
// fitted curves and the band.
void HeatsSheet::show() {
  if (heats_.follow(lines())) {
    panel_->model()->figuresChanged();
    pointsShown_ = false;
  }
  if (!pointsShown_) showPoints();
  // The fitted curves and the band follow the pressures and composition.
  showFittedCurves();
  showPresetRange();
}

void HeatsSheet::showPoints() {
  if (heats_.empty() && !overlay_) return;
  if (!overlay_) {
    overlay_ = new HeatOverlay(*places_.chart);
    connect(overlay_, &HeatOverlay::heatHovered, this, &HeatsSheet::describeHeatAt);
  }
  const HeatPoints points = heats_.points();
  overlay_->showHeats(points.gaining, points.losing);
  pointsShown_ = true;
  places_.chart->updateGeometry();  // two more legend entries: the chart may need more height
  panel_->showParity(points.parityGaining, points.parityLosing);
}

// The pointer over a heat's point: the nearest heat of the shown reaction
// (points on one pixel are drawn once) by its name and figures.
void HeatsSheet::describeHeatAt(const QPointF& point) {
  const std::optional<std::size_t> nearest = heats_.nearest(point.x(), point.y());
  if (!nearest) return;
  const PlantHeat& heat = heats_.heats()[*nearest];
  const HeatFigures& f = heats_.figures()[*nearest];
  const QString name = heat.id.empty() ? QStringLiteral("第%1行的炉次").arg(heat.line)
                                       : QStringLiteral("炉次%1（第%2行）").arg(toQString(heat.id)).arg(heat.line);
  places_.pointer->setText(
      QStringLiteral("%1：t=%2℃，实测%3%C，p_CO=%4 Pa；平衡%5%C，余量%6%C，ΔG=%7 J/mol")
          .arg(name, shortest(heat.state->temperature - constants::kelvinOffset), shortest(heat.state->carbon),
               shortest(heat.state->coPressure),
               toQString(formatPattern(*f.equilibriumCarbon, DigitPattern::Decimals6)),
               toQString(formatPattern(*f.margin, DigitPattern::Decimals6)),
               f.freeEnergy ? toQString(formatPattern(*f.freeEnergy, DigitPattern::Whole)) : QString()));
}

void HeatsSheet::fitHeats() {
  if (heats_.follow(lines())) {
    panel_->model()->figuresChanged();
    pointsShown_ = false;
  }
  const LineFitResult r = heats_.fit();
  const QString name = toQString(reactionData(heats_.shown()).name);
  if (r.problem != LineFitProblem::None) {
    const QString why = r.problem == LineFitProblem::TooFewHeats
                            ? QStringLiteral("%1：可用的炉次只有%2个（需要至少3个），无法拟合")
                        : r.problem == LineFitProblem::OneTemperature
                            ? QStringLiteral("%1：可用的%2个炉次温度相同，无法拟合斜率")
                            : QStringLiteral("%1：%2个炉次的温度或ΔG太大，拟合的和超出了数值范围，无法拟合");
    panel_->showFitResult(why.arg(name).arg(r.n), false);
    showFittedCurves();
    return;
  }
  const FittedLineTexts fitted = fittedLineTexts(r.a, r.b);
  panel_->showFitResult(
      QStringLiteral("%1：A = %2 ± %3 J/mol，B = %4 ± %5 J/(mol·K)，s = %6 J/mol，R² = %7，n = %8%9")
          .arg(name, toQString(fitted.a), toQString(formatPlain(std::round(r.seA))), toQString(fitted.b),
               toQString(formatPattern(r.seB, DigitPattern::Decimals3)), toQString(formatPlain(std::round(r.sdG))),
               toQString(formatPattern(r.r2, DigitPattern::Decimals3)))
          .arg(r.n)
          .arg(r.excluded ? QStringLiteral("（%1个不可用）").arg(r.excluded) : QString()),
      true);
  showFittedCurves();
}

bool HeatsSheet::adoptFit() {
  const std::optional<ReactionLine>& line = heats_.fittedLine();
  if (!line) return false;
  // The digits the fit supports, as the fit result shows them.
  const FittedLineTexts fitted = fittedLineTexts(line->a, line->b);
  const QStringList doubts = fitDoubts(fitted, heats_.fittedR2(), session_.entries().family.reaction);
  if (!doubts.isEmpty()) {
    QMessageBox ask(QMessageBox::Question, QStringLiteral("采用拟合结果"),
                    QStringLiteral("拟合结果可疑：%1。仍然采用吗？").arg(doubts.join(QStringLiteral("；"))),
                    QMessageBox::NoButton, places_.window);
    QPushButton* adopt = ask.addButton(QStringLiteral("采用"), QMessageBox::AcceptRole);
    QPushButton* cancel = ask.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    ask.setDefaultButton(cancel);
    ask.setEscapeButton(cancel);
    ask.exec();
    if (ask.clickedButton() != adopt) return false;
  }
  document_.editEntries({{"A", fitted.a}, {"B", fitted.b}}, QStringLiteral("采用拟合结果"));
  return true;
}

void HeatsSheet::showFittedCurves() {
  if (!overlay_) return;
  std::vector<EquilibriumCurve> curves;
  if (const std::optional<ReactionLine>& line = heats_.fittedLine()) {
    CurveFamilyInputs fitted = session_.entries().family;
    fitted.line = *line;
    curves = equilibriumCurveFamily(fitted);
  }
  overlay_->showFitted(curves);
}

void HeatsSheet::showPresetRange() {
  if (!overlay_) return;
  overlay_->showBands(panel_->presetRange() ? presetBand(session_.entries().family)
                                            : std::vector<std::pair<EquilibriumCurve, EquilibriumCurve>>{});
}

}  // namespace velkarin
