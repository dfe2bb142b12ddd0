// SPDX-License-Identifier: Apache-2.0
#include "ui/diagram/heats_panel.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPushButton>
#include <QScatterSeries>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_set>
#include <utility>

#include "calc/number_text.h"
#include "calc/reaction_data.h"
#include "ui/common/qt_text.h"
#include "ui/diagram/chart_marks.h"

namespace velkarin {

namespace {

constexpr std::array<const char*, HeatsModel::ColumnCount> headers{
    "拟合",  "行",    "炉号",    "反应",       "温度/℃", "实测%C", "[%Cr]", "[%Ni]",
    "[%Si]", "[%Mn]", "p_CO/Pa", "ΔG/(J/mol)", "平衡%C", "余量%C", "说明"};

// The role the table sorts by: the number where the column has one.
constexpr int sortRole = Qt::UserRole;

// A number cell: for sorting the number itself (−∞ where there is none, so
// the empty cells come first), for display its shortest text (whole joules
// for ΔG); empty where there is none.
QVariant numberCell(std::optional<double> value, DigitPattern pattern, int role) {
  if (!value) return role == sortRole ? QVariant(-HUGE_VAL) : QVariant(QString());
  if (role == sortRole) return *value;
  return toQString(pattern == DigitPattern::Whole ? formatPattern(*value, pattern) : formatShortest(*value));
}

// A computed carbon (平衡%C, 余量%C): sorted as a number, shown with six decimals.
QVariant carbonCell(std::optional<double> value, int role) {
  if (role == sortRole) return numberCell(value, DigitPattern::Decimals6, role);
  return value ? QVariant(toQString(formatPattern(*value, DigitPattern::Decimals6))) : QVariant(QString());
}

// One input of the heat less `offset` (K → °C), or nothing when the heat has no state.
std::optional<double> meltField(const std::optional<MeltState>& state, double MeltState::*member, double offset = 0) {
  return state ? std::optional<double>((*state).*member - offset) : std::nullopt;
}

// The display or sort value of one cell of a heat's row.
QVariant heatCell(const PlantHeat& heat, const HeatFigures& figures, int column, int role) {
  const std::optional<MeltState>& s = heat.state;
  const auto input = [&](double MeltState::*member, double offset = 0) {
    return numberCell(meltField(s, member, offset), DigitPattern::Decimals6, role);
  };
  switch (column) {
    case HeatsModel::Fitted:
      return role == sortRole ? QVariant(heat.fitted ? 1 : 0) : QVariant();
    case HeatsModel::Line:
      return role == sortRole ? QVariant(static_cast<qulonglong>(heat.line)) : QVariant(QString::number(heat.line));
    case HeatsModel::Id:
      return toQString(heat.id);
    case HeatsModel::ReactionName:
      return toQString(reactionData(heat.reaction).name);
    case HeatsModel::Temperature:
      return input(&MeltState::temperature, constants::kelvinOffset);
    case HeatsModel::Carbon:
      return input(&MeltState::carbon);
    case HeatsModel::Chromium:
      return input(&MeltState::chromium);
    case HeatsModel::Nickel:
      return input(&MeltState::nickel);
    case HeatsModel::Silicon:
      return input(&MeltState::silicon);
    case HeatsModel::Manganese:
      return input(&MeltState::manganese);
    case HeatsModel::Pressure:
      return input(&MeltState::coPressure);
    case HeatsModel::FreeEnergy:
      return numberCell(figures.freeEnergy, DigitPattern::Whole, role);
    case HeatsModel::Equilibrium:
      return carbonCell(figures.equilibriumCarbon, role);
    case HeatsModel::Margin:
      return carbonCell(figures.margin, role);
    case HeatsModel::Note:
      return toQString(heat.fault);
  }
  return {};
}

// The whole decades of %C that hold every point of both sets (both axes
// alike, so the 1:1 line is the diagonal); 0.01 … 1 when there is no point.
std::pair<double, double> parityDecades(const std::vector<QPointF>& gaining, const std::vector<QPointF>& losing) {
  double low = HUGE_VAL, high = 0;
  for (const auto* points : {&gaining, &losing}) {
    for (const QPointF& p : *points) {
      low = std::min({low, p.x(), p.y()});
      high = std::max({high, p.x(), p.y()});
    }
  }
  if (!(low > 0 && high >= low)) {
    low = 0.01;
    high = 1;
  }
  low = std::pow(10.0, std::floor(std::log10(low)));
  high = std::pow(10.0, std::ceil(std::log10(high)));
  if (!(high > low)) high = low * 10;
  return {low, high};
}

QAbstractAxis* addLogAxis(QChart& chart, const QString& title, Qt::Alignment side, double low, double high) {
  auto* axis = new QLogValueAxis;
  axis->setTitleText(title);
  axis->setLabelFormat(QStringLiteral("%g"));
  axis->setRange(low, high);
  chart.addAxis(axis, side);
  return axis;
}

// One point per cell of a 120 × 120 grid over the decades low … high: what
// cannot be told apart is drawn once.
QList<QPointF> distinctPoints(const std::vector<QPointF>& points, double low, double high) {
  std::unordered_set<long long> taken;
  QList<QPointF> kept;
  const double l0 = std::log10(low), span = std::log10(high) - l0;
  for (const QPointF& p : points) {
    const long long cx = std::llround((std::log10(p.x()) - l0) / span * 120);
    const long long cy = std::llround((std::log10(p.y()) - l0) / span * 120);
    if (taken.insert(cx * 1000003 + cy).second) kept.append(p);
  }
  return kept;
}

}  // namespace

HeatsModel::HeatsModel(std::vector<PlantHeat>& heats, const std::vector<HeatFigures>& figures, QObject* parent)
    : QAbstractTableModel(parent), heats_(heats), figures_(figures) {}

void HeatsModel::reload() {
  beginResetModel();
  endResetModel();
}

void HeatsModel::figuresChanged() {
  if (!heats_.empty()) emit dataChanged(index(0, FreeEnergy), index(rowCount() - 1, Margin));
}

int HeatsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(heats_.size());
}

int HeatsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant HeatsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= ColumnCount) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  return QString::fromUtf8(headers[static_cast<std::size_t>(section)]);
}

Qt::ItemFlags HeatsModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (index.column() == Fitted && heats_[static_cast<std::size_t>(index.row())].fault.empty()) {
    flags |= Qt::ItemIsUserCheckable;
  }
  return flags;
}

QVariant HeatsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const PlantHeat& heat = heats_[static_cast<std::size_t>(index.row())];
  const HeatFigures& figures = figures_[static_cast<std::size_t>(index.row())];
  const int column = index.column();
  if (role == Qt::CheckStateRole && column == Fitted) {
    return heat.fault.empty() ? QVariant(heat.fitted ? Qt::Checked : Qt::Unchecked) : QVariant();
  }
  if (role == Qt::ForegroundRole && column == Margin && figures.margin) {
    return QColor::fromRgb(*figures.margin >= 0 ? stageGainColour : stageLossColour);
  }
  if (role != Qt::DisplayRole && role != sortRole) return {};
  return heatCell(heat, figures, column, role);
}

bool HeatsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || index.column() != Fitted || role != Qt::CheckStateRole) return false;
  PlantHeat& heat = heats_[static_cast<std::size_t>(index.row())];
  if (!heat.fault.empty()) return false;
  heat.fitted = value.toInt() == Qt::Checked;
  emit dataChanged(index, index, {Qt::CheckStateRole});
  emit ticksChanged();
  return true;
}

HeatsPanel::HeatsPanel(std::vector<PlantHeat>& heats, const std::vector<HeatFigures>& figures, QWidget* parent)
    : QWidget(parent) {
  setObjectName(QStringLiteral("heatsPanel"));
  model_ = new HeatsModel(heats, figures, this);
  sorted_ = new QSortFilterProxyModel(this);
  sorted_->setSourceModel(model_);
  sorted_->setSortRole(sortRole);
  table_ = new QTableView(this);
  table_->setObjectName(QStringLiteral("heats"));
  table_->setModel(sorted_);
  // In file order until a header is clicked: no sort of 100,000 rows on import.
  sorted_->setDynamicSortFilter(false);
  table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  table_->setSortingEnabled(true);
  table_->verticalHeader()->setVisible(false);
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->setToolTip(QStringLiteral("点击表头排序；去掉“拟合”的勾，该炉次不参加拟合"));
  // Tab and Shift+Tab go on to the next or previous control; the arrows walk the heats.
  table_->setTabKeyNavigation(false);

  auto* fit = new QPushButton(QStringLiteral("拟合ΔG°"), this);
  fit->setObjectName(QStringLiteral("fitLine"));
  fit->setToolTip(QStringLiteral("把打勾的、所示反应的炉次当作平衡态，最小二乘拟合 ΔG° = A + B·T"));
  connect(fit, &QPushButton::clicked, this, &HeatsPanel::fitRequested);
  adopt_ = new QPushButton(QStringLiteral("采用"), this);
  adopt_->setObjectName(QStringLiteral("adoptFit"));
  adopt_->setToolTip(QStringLiteral("把拟合的A、B填入图的A、B"));
  adopt_->setEnabled(false);
  connect(adopt_, &QPushButton::clicked, this, &HeatsPanel::adoptRequested);
  presetRange_ = new QCheckBox(QStringLiteral("预设范围"), this);
  presetRange_->setObjectName(QStringLiteral("presetRange"));
  presetRange_->setToolTip(QStringLiteral("每个CO分压下，所示反应各行预设值的曲线所夹的范围"));
  connect(presetRange_, &QCheckBox::toggled, this, &HeatsPanel::presetRangeToggled);
  fitResult_ = new QLabel(this);
  fitResult_->setObjectName(QStringLiteral("fitResult"));
  fitResult_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  fitResult_->setWordWrap(true);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(fit);
  buttons->addWidget(adopt_);
  buttons->addWidget(presetRange_);
  buttons->addWidget(fitResult_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(buttons);
  layout->addWidget(table_, 1);

  parity_ = new QChartView(new QChart, this);  // shown in the chart's tabs once heats are imported
  parity_->hide();
  parity_->setObjectName(QStringLiteral("parity"));
  parity_->setRenderHint(QPainter::Antialiasing);
  QChart* chart = parity_->chart();
  chart->setTitle(QStringLiteral("实测C浓度与平衡C浓度"));
  chart->legend()->setAlignment(Qt::AlignRight);
}

bool HeatsPanel::presetRange() const { return presetRange_->isChecked(); }

void HeatsPanel::showFitResult(const QString& text, bool adoptable) {
  fitResult_->setText(text);
  adopt_->setEnabled(adoptable);
}

void HeatsPanel::showParity(const std::vector<QPointF>& gaining, const std::vector<QPointF>& losing) {
  QChart* chart = parity_->chart();
  chart->removeAllSeries();
  for (QAbstractAxis* axis : chart->axes()) {
    chart->removeAxis(axis);
    delete axis;
  }
  const auto [low, high] = parityDecades(gaining, losing);
  QAbstractAxis* x = addLogAxis(*chart, QStringLiteral("平衡C浓度 [%C]"), Qt::AlignBottom, low, high);
  QAbstractAxis* y = addLogAxis(*chart, QStringLiteral("实测C浓度 [%C]"), Qt::AlignLeft, low, high);
  const auto add = [&](QAbstractSeries* series) {
    chart->addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
  };
  for (const auto& [factor, name, style] :
       {std::tuple{1.0, QStringLiteral("1:1"), Qt::SolidLine}, std::tuple{2.0, QStringLiteral("×2"), Qt::DashLine},
        std::tuple{0.5, QStringLiteral("×½"), Qt::DashLine}}) {
    auto* line = new QLineSeries;
    line->setName(name);
    line->setPen(QPen(QColor(0x60, 0x60, 0x60), 1, style));
    line->append(low, low * factor);
    line->append(high, high * factor);
    add(line);
  }
  for (const auto& [points, colour, name] : {std::tuple{&gaining, stageGainColour, QStringLiteral("余量≥0")},
                                             std::tuple{&losing, stageLossColour, QStringLiteral("余量＜0")}}) {
    auto* scatter = new QScatterSeries;
    scatter->setName(name);
    scatter->setMarkerSize(5);
    scatter->setColor(QColor::fromRgb(colour));
    scatter->setBorderColor(QColor::fromRgb(colour));
    // Filled once on the chart: a series added with its points has every
    // mark restyled by the chart's theme, one by one.
    add(scatter);
    scatter->replace(distinctPoints(*points, low, high));
  }
}

}  // namespace velkarin
