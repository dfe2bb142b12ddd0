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
#include "ui/diagram/equilibrium_chart_view.h"

namespace velkarin {

// The computed curve point nearest the pointer's temperature within the
// stretch under the pointer.
void EquilibriumChartView::describe(std::size_t curve, const QLineSeries& series, const QPointF& pointer) {
  const QList<QPointF> points = series.points();
  if (points.isEmpty() || curve >= curves_.size()) return;
  auto next =
      std::lower_bound(points.begin(), points.end(), pointer.x(), [](const QPointF& p, double t) { return p.x() < t; });
  if (next == points.end() || (next != points.begin() && pointer.x() - (next - 1)->x() < next->x() - pointer.x())) {
    --next;
  }
  const std::vector<CurvePoint>& computed = curves_[curve].points;
  const auto at = std::find_if(computed.begin(), computed.end(),
                               [&](const CurvePoint& p) { return p.temperatureCelsius == next->x(); });
  if (at != computed.end()) describePoint(curve, static_cast<std::size_t>(at - computed.begin()));
}

// Point `point` of curve `curve`, and, with both oxides drawn, which one
// governs there: the higher equilibrium carbon.
void EquilibriumChartView::describePoint(std::size_t curve, std::size_t point) {
  const CurvePoint& p = curves_[curve].points[point];
  if (!p.carbon.carbon) return;
  QString text =
      QStringLiteral("t = %1 ℃    平衡C浓度 = %2 %C    CO分压 %3")
          .arg(toQString(formatShortest(p.temperatureCelsius)),
               toQString(formatPattern(*p.carbon.carbon, DigitPattern::Decimals6)), toQString(curves_[curve].label));
  const CurveStyle& style = styles_[curve];
  if (style.partner && *style.partner < curves_.size() && point < curves_[*style.partner].points.size()) {
    // The stage table's rule: a root above the range governs over any other.
    const EquilibriumCarbon& other = curves_[*style.partner].points[point].carbon;
    const QString& otherOxide = styles_[*style.partner].oxide;
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
void EquilibriumChartView::refreshDescription() {
  if (!described_) return;
  if (!described_->curve) {
    if (heat_) {
      describeHeat();
      return;
    }
  } else if (*described_->curve < curves_.size()) {
    const std::vector<CurvePoint>& points = curves_[*described_->curve].points;
    for (std::size_t i = 0; i < points.size(); ++i) {
      if (points[i].temperatureCelsius == described_->temperatureCelsius && points[i].carbon.carbon) {
        describePoint(*described_->curve, i);
        return;
      }
    }
  }
  described_.reset();
  emit pointDescribed(QString());
}

void EquilibriumChartView::describeHeat() {
  if (!heat_) return;
  described_ = Described{std::nullopt, heat_->temperatureCelsius};
  report(QStringLiteral("上次计算的炉次：t = %1 ℃    [%C] = %2    CO分压 %3 Pa")
             .arg(toQString(formatShortest(heat_->temperatureCelsius)), toQString(formatShortest(heat_->carbon)),
                  toQString(formatShortest(heat_->coPressure))));
}

void EquilibriumChartView::report(const QString& text) {
  if (underMouse()) QToolTip::showText(QCursor::pos(), text, this);
  emit pointDescribed(text);
}

}  // namespace velkarin
