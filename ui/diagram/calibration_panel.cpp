// SPDX-License-Identifier: Apache-2.0
#include "ui/diagram/calibration_panel.h"

#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QGraphicsLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPushButton>
#include <QScatterSeries>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "calc/blow_ledger.h"
#include "calc/number_text.h"
#include "io/heat_log.h"
#include "ui/common/qt_text.h"
#include "ui/common/song_font.h"

namespace velkarin {

namespace {

// The errors of one heat's measured ends under the fit.
struct HeatErrors {
  std::size_t ends = 0;
  double lnCarbon = 0, temperature = 0;  // sums of squares
  std::size_t carbons = 0, temperatures = 0;
};

QString factorText(double rmsLn) { return QStringLiteral("×%1").arg(toQString(fixedText(std::exp(rmsLn), 2))); }

QString optionalFactor(const std::optional<double>& rmsLn) { return rmsLn ? factorText(*rmsLn) : QStringLiteral("—"); }

QString optionalDegrees(const std::optional<double>& rms) {
  return rms ? QStringLiteral("%1 ℃").arg(toQString(fixedText(*rms, 1))) : QStringLiteral("—");
}

}  // namespace

QString calibrationFigureText(double value, double standardError) {
  int decimals = 3;
  if (standardError > 0 && std::isfinite(standardError)) {
    decimals = std::clamp(1 - static_cast<int>(std::floor(std::log10(standardError))), 0, 6);
  }
  return toQString(fixedText(value, decimals));
}

bool calibrationNeedsQuestion(const Calibration& fit) {
  const auto worse = [](const std::optional<double>& heldOut, const std::optional<double>& training) {
    return heldOut && training && *heldOut > 2 * *training;
  };
  return worse(fit.heldOutRmsLnCarbon, fit.rmsLnCarbon) || worse(fit.heldOutRmsTemperature, fit.rmsTemperature);
}

QString calibrationSummary(const Calibration& fit, std::size_t leftOut) {
  const QString counts = QStringLiteral("%1炉、%2个实测值（终点%C和温度各算一个；剔除%3炉）")
                             .arg(fit.heats)
                             .arg(fit.ends)
                             .arg(fit.excluded + leftOut);
  switch (fit.problem) {
    case CalibrationProblem::None:
      break;
    case CalibrationProblem::TooFewHeats:
      return QStringLiteral("无法拟合：能模拟的炉次少于%1炉；").arg(fewestCalibrationHeats) + counts;
    case CalibrationProblem::NoMeasuredEnds:
      return QStringLiteral("无法拟合：没有实测的终点%C或温度");
    case CalibrationProblem::NotConverged:
      return QStringLiteral("无法拟合：迭代%1次仍未收敛").arg(fit.iterations);
    case CalibrationProblem::Undetermined:
      return QStringLiteral("无法拟合：实测终点不足以同时确定k和L（例如没有实测温度）");
    case CalibrationProblem::NotFinite:
      return QStringLiteral("无法拟合：拟合结果超出数的范围");
    case CalibrationProblem::Cancelled:
      return QStringLiteral("已取消拟合");
  }
  return QStringLiteral(
             "k = %1 ± %2 1/min，L = %3 ± %4 ℃/min，相关系数 %5；%6\n"
             "终点%C误差 %7（留出检验 %8），终点温度误差 %9（留出检验 %10）")
      .arg(calibrationFigureText(fit.rateConstant, fit.rateConstantError),
           toQString(fixedText(fit.rateConstantError, 3)), calibrationFigureText(fit.heatLoss, fit.heatLossError),
           toQString(fixedText(fit.heatLossError, 3)), toQString(fixedText(fit.correlation, 2)), counts,
           optionalFactor(fit.rmsLnCarbon), optionalFactor(fit.heldOutRmsLnCarbon), optionalDegrees(fit.rmsTemperature))
      .arg(optionalDegrees(fit.heldOutRmsTemperature));
}

CalibrationPanel::CalibrationPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("calibrationPanel"));
  result_ = new QLabel(this);
  result_->setObjectName(QStringLiteral("calibrationResult"));
  result_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  result_->setWordWrap(true);
  adopt_ = new QPushButton(QStringLiteral("采用"), this);
  adopt_->setObjectName(QStringLiteral("adoptCalibration"));
  adopt_->setToolTip(QStringLiteral("把拟合的k和L填入吹炼模拟的脱碳速率常数和散热（可撤销）"));
  adopt_->setAutoDefault(false);
  adopt_->setEnabled(false);
  connect(adopt_, &QPushButton::clicked, this, &CalibrationPanel::adoptRequested);
  auto* copy = new QPushButton(QStringLiteral("复制"), this);
  copy->setObjectName(QStringLiteral("copyCalibration"));
  copy->setToolTip(QStringLiteral("拟合结果复制为制表符分隔的文本（与 velkarin-batch --calibrate 相同）"));
  copy->setAutoDefault(false);
  connect(copy, &QPushButton::clicked, this, [this] { QGuiApplication::clipboard()->setText(tsv_); });

  heats_ = new QTableWidget(0, 5, this);
  heats_->setObjectName(QStringLiteral("calibrationHeats"));
  heats_->setHorizontalHeaderLabels({QStringLiteral("炉号"), QStringLiteral("段数"), QStringLiteral("实测值"),
                                     QStringLiteral("%C误差"), QStringLiteral("温度误差")});
  heats_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  heats_->setSelectionBehavior(QAbstractItemView::SelectRows);
  heats_->setSelectionMode(QAbstractItemView::SingleSelection);
  heats_->verticalHeader()->setVisible(false);
  heats_->setToolTip(QStringLiteral("点击一炉，在图上画出它的模拟路径和实测终点"));
  heats_->setMinimumHeight(60);
  connect(heats_, &QTableWidget::currentCellChanged, this, [this](int row) {
    if (row >= 0) emit heatChosen(heats_->item(row, 0)->data(Qt::UserRole).value<std::size_t>());
  });
  carbonChart_ = parityChart("carbonParity", QStringLiteral("终点%C：预测（纵）与实测（横）"), true, carbonPoints_,
                             carbonDiagonal_);
  temperatureChart_ = parityChart("temperatureParity", QStringLiteral("终点温度/℃：预测与实测"), false,
                                  temperaturePoints_, temperatureDiagonal_);

  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(QStringLiteral("模型校准"), this));
  top->addWidget(adopt_);
  top->addWidget(copy);
  top->addWidget(result_, 1);
  auto* split = new QSplitter(Qt::Horizontal, this);
  split->setObjectName(QStringLiteral("calibrationSplit"));
  split->addWidget(heats_);
  split->addWidget(carbonChart_);
  split->addWidget(temperatureChart_);
  split->setChildrenCollapsible(false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(top);
  layout->addWidget(split, 1);
}

QChartView* CalibrationPanel::parityChart(const char* name, const QString& title, bool logarithmic,
                                          QScatterSeries*& points, QLineSeries*& diagonal) {
  auto* chart = new QChart;
  chart->setTitle(title);
  chart->setTitleFont(songFont(windowFontPointSize, true));
  chart->legend()->hide();
  chart->setMargins(QMargins(0, 0, 0, 0));
  chart->layout()->setContentsMargins(0, 0, 0, 0);
  QAbstractAxis* x = nullptr;
  QAbstractAxis* y = nullptr;
  for (QAbstractAxis** axis : {&x, &y}) {
    if (logarithmic) {
      auto* log = new QLogValueAxis(chart);
      log->setBase(10);
      log->setLabelFormat(QStringLiteral("%g"));
      *axis = log;
    } else {
      auto* value = new QValueAxis(chart);
      value->setLabelFormat(QStringLiteral("%.0f"));
      value->setTickCount(3);
      *axis = value;
    }
    (*axis)->setLabelsFont(songFont(7));
  }
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  diagonal = new QLineSeries(chart);
  diagonal->setPen(QPen(Qt::gray, 1, Qt::DashLine));
  points = new QScatterSeries(chart);
  points->setObjectName(QString::fromUtf8(name) + QStringLiteral("Points"));
  points->setMarkerSize(6);
  points->setColor(QColor::fromRgb(0x1f5fbf));
  points->setBorderColor(Qt::transparent);
  for (QXYSeries* series : {static_cast<QXYSeries*>(diagonal), static_cast<QXYSeries*>(points)}) {
    chart->addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
  }
  auto* view = new QChartView(chart, this);
  view->setObjectName(QString::fromUtf8(name));
  view->setRenderHint(QPainter::Antialiasing);
  view->setMinimumSize(160, 80);
  return view;
}

void CalibrationPanel::showCalibration(const Calibration& fit, const std::vector<LoggedHeat>& heats,
                                       std::size_t leftOut) {
  result_->setText(calibrationSummary(fit, leftOut));
  tsv_ = toQString(calibrationTable(fit, leftOut));
  adopt_->setEnabled(fit.problem == CalibrationProblem::None);
  fillHeats(fit, heats);
  showParity(fit);
}

QString CalibrationPanel::resultText() const { return result_->text(); }

void CalibrationPanel::fillHeats(const Calibration& fit, const std::vector<LoggedHeat>& heats) {
  std::vector<HeatErrors> errors(heats.size());
  for (const EndResidual& r : fit.residuals) {
    HeatErrors& e = errors.at(r.heat);
    e.ends += (r.carbonMeasured ? 1 : 0) + (r.temperatureMeasured ? 1 : 0);
    if (r.carbonMeasured && r.carbonPredicted) {
      const double d = std::log(*r.carbonPredicted / *r.carbonMeasured);
      e.lnCarbon += d * d;
      ++e.carbons;
    }
    if (r.temperatureMeasured && r.temperaturePredicted) {
      const double d = *r.temperaturePredicted - *r.temperatureMeasured;
      e.temperature += d * d;
      ++e.temperatures;
    }
  }
  heats_->setRowCount(0);
  heats_->setRowCount(static_cast<int>(heats.size()));
  for (std::size_t i = 0; i < heats.size(); ++i) {
    const HeatErrors& e = errors[i];
    const int row = static_cast<int>(i);
    auto* id = new QTableWidgetItem(toQString(heats[i].id));
    id->setData(Qt::UserRole, QVariant::fromValue(i));
    heats_->setItem(row, 0, id);
    heats_->setItem(row, 1, new QTableWidgetItem(QString::number(heats[i].stages.size())));
    heats_->setItem(row, 2, new QTableWidgetItem(QString::number(e.ends)));
    heats_->setItem(
        row, 3,
        new QTableWidgetItem(e.carbons ? factorText(std::sqrt(e.lnCarbon / double(e.carbons))) : QStringLiteral("—")));
    heats_->setItem(
        row, 4,
        new QTableWidgetItem(e.temperatures ? optionalDegrees(std::sqrt(e.temperature / double(e.temperatures)))
                                            : QStringLiteral("—")));
  }
  heats_->resizeColumnsToContents();
}

void CalibrationPanel::showParity(const Calibration& fit) {
  QList<QPointF> carbon, temperature;
  for (const EndResidual& r : fit.residuals) {
    if (r.carbonMeasured && r.carbonPredicted) carbon << QPointF(*r.carbonMeasured, *r.carbonPredicted);
    if (r.temperatureMeasured && r.temperaturePredicted) {
      temperature << QPointF(*r.temperatureMeasured, *r.temperaturePredicted);
    }
  }
  carbonPoints_->replace(carbon);
  temperaturePoints_->replace(temperature);
  // Both axes over one range, so the 1:1 line is the diagonal.
  const auto span = [](const QList<QPointF>& points, bool logarithmic) {
    double low = logarithmic ? 0.01 : 1500, high = logarithmic ? 1 : 1700;
    if (!points.isEmpty()) low = high = points.front().x();
    for (const QPointF& p : points) low = std::min({low, p.x(), p.y()}), high = std::max({high, p.x(), p.y()});
    if (logarithmic)
      return std::pair{std::pow(10.0, std::floor(std::log10(low))), std::pow(10.0, std::ceil(std::log10(high)))};
    return std::pair{std::floor(low / 10) * 10 - 10, std::ceil(high / 10) * 10 + 10};
  };
  const auto [cLow, cHigh] = span(carbon, true);
  const auto [tLow, tHigh] = span(temperature, false);
  carbonDiagonal_->replace(QList<QPointF>{{cLow, cLow}, {cHigh, cHigh}});
  temperatureDiagonal_->replace(QList<QPointF>{{tLow, tLow}, {tHigh, tHigh}});
  for (QAbstractAxis* axis : carbonChart_->chart()->axes()) axis->setRange(cLow, cHigh);
  for (QAbstractAxis* axis : temperatureChart_->chart()->axes()) axis->setRange(tLow, tHigh);
}

}  // namespace velkarin
