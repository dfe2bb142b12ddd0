// SPDX-License-Identifier: Apache-2.0
// The pointer readout of the equilibrium chart: the computed curve point
// nearest the pointer (with both oxides, which one governs there) or the
// heat's inputs, described again whenever the chart changes.

#include <QLineSeries>
#include <QToolTip>
#include <algorithm>

#include "calc/blow_stage.h"
#include "calc/number_text.h"
#include "calc/result_presentation.h"
#include "ui/common/qt_text.h"
#include "ui/diagram/chart_readout.h"
#include "ui/diagram/equilibrium_chart_view.h"

namespace velkarin {

ChartReadout::ChartReadout(EquilibriumChartView& view) : QObject(&view), view_(view) {}

// The computed curve point nearest the pointer's temperature within the
// stretch under the pointer.
void ChartReadout::describe(std::size_t curve, const QLineSeries& series, const QPointF& pointer) {
  const QList<QPointF> points = series.points();
  if (points.isEmpty() || curve >= view_.curves().size()) return;
  auto next =
      std::lower_bound(points.begin(), points.end(), pointer.x(), [](const QPointF& p, double t) { return p.x() < t; });
  if (next == points.end() || (next != points.begin() && pointer.x() - (next - 1)->x() < next->x() - pointer.x())) {
    --next;
  }
  const std::vector<CurvePoint>& computed = view_.curves()[curve].points;
  const auto at = std::find_if(computed.begin(), computed.end(),
                               [&](const CurvePoint& p) { return p.temperatureCelsius == next->x(); });
  if (at != computed.end()) describePoint(curve, static_cast<std::size_t>(at - computed.begin()));
}

// Point `point` of curve `curve`, and, with both oxides drawn, which one
// governs there: the higher equilibrium carbon.
void ChartReadout::describePoint(std::size_t curve, std::size_t point) {
  const CurvePoint& p = view_.curves()[curve].points[point];
  if (!p.carbon.carbon) return;
  QString text = QStringLiteral("t = %1 ℃    平衡C浓度 = %2 %C    CO分压 %3")
                     .arg(toQString(formatShortest(p.temperatureCelsius)),
                          toQString(formatPattern(*p.carbon.carbon, DigitPattern::Decimals6)),
                          toQString(view_.curves()[curve].label));
  const CurveStyle& style = view_.styles()[curve];
  if (style.partner && *style.partner < view_.curves().size() && point < view_.curves()[*style.partner].points.size()) {
    // The stage table's rule: a root above the range governs over any other.
    const EquilibriumCarbon& other = view_.curves()[*style.partner].points[point].carbon;
    const QString& otherOxide = view_.styles()[*style.partner].oxide;
    if (governsOver(p.carbon, other)) {
      text += QStringLiteral("    %1控制（平衡C浓度高于%2）").arg(style.oxide, otherOxide);
    } else if (governsOver(other, p.carbon)) {
      const QString carbon = other.carbon ? toQString(formatPattern(*other.carbon, DigitPattern::Decimals6))
                                          : toQString(std::string(noRootText(other.gap)));
      text += QStringLiteral("    %1控制（%2 %C）").arg(otherOxide, carbon);
    }
  }
  described_ = Described{curve, p.temperatureCelsius};
  report(text);
}

// After the chart changed: the readout describes the same curve point, or
// the new last heat, again; what is gone is no longer described.
void ChartReadout::refresh() {
  if (!described_) return;
  if (!described_->curve) {
    if (view_.heat()) {
      describeHeat();
      return;
    }
  } else if (*described_->curve < view_.curves().size()) {
    const std::vector<CurvePoint>& points = view_.curves()[*described_->curve].points;
    for (std::size_t i = 0; i < points.size(); ++i) {
      if (points[i].temperatureCelsius == described_->temperatureCelsius && points[i].carbon.carbon) {
        describePoint(*described_->curve, i);
        return;
      }
    }
  }
  described_.reset();
  emit described(QString());
}

void ChartReadout::describeHeat() {
  if (!view_.heat()) return;
  described_ = Described{std::nullopt, view_.heat()->temperatureCelsius};
  report(QStringLiteral("上次计算的炉次：t = %1 ℃    [%C] = %2    CO分压 %3 Pa")
             .arg(toQString(formatShortest(view_.heat()->temperatureCelsius)),
                  toQString(formatShortest(view_.heat()->carbon)),
                  toQString(formatShortest(view_.heat()->coPressure))));
}

void ChartReadout::report(const QString& text) {
  if (view_.underMouse()) QToolTip::showText(QCursor::pos(), text, &view_);
  emit described(text);
}

}  // namespace velkarin
