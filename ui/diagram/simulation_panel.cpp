// SPDX-License-Identifier: Apache-2.0
#include "ui/diagram/simulation_panel.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QClipboard>
#include <QGraphicsLayout>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegend>
#include <QLineEdit>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <functional>
#include <tuple>

#include "calc/blow_ledger.h"
#include "calc/blow_stage.h"
#include "calc/number_list.h"
#include "calc/number_text.h"
#include "ui/common/qt_text.h"
#include "ui/common/song_font.h"
#include "ui/common/text_file.h"
#include "words/simulation_table.h"

namespace velkarin {

namespace {

// The entries, in the order of entries_: objectName, caption, tooltip and the heat's member.
struct EntryRow {
  const char* name;
  const char* caption;
  const char* tip;
  std::string PlanHeat::*field;
};
constexpr std::array<EntryRow, 5> entryRows{{
    {"startTemperature", "初始温度(℃)", "吹炼开始时的熔池温度，℃", &PlanHeat::startTemperature},
    {"slagMass", "初始渣量(kg)", "吹炼开始时炉内的渣量，kg", &PlanHeat::slagMass},
    {"rateConstant", "脱碳速率常数k", "脱碳速率常数k，1/min：临界C浓度以下脱碳速率 = k·钢水量·([%C]−平衡%C)/100",
     &PlanHeat::rateConstant},
    {"heatLoss", "散热(℃/min)", "炉体散热使熔池每分钟降低的温度，℃/min", &PlanHeat::heatLoss},
    {"reductionTime", "还原时间(min)", "吹炼结束到出钢的还原期，min（其间只散热）", &PlanHeat::reductionTime},
}};

// The stage table's columns whose typed figure stands beside them: 终点%C and 终点温度/℃.
constexpr int endCarbonColumn = 5;
constexpr int endTemperatureColumn = 8;

QChartView* timeChart(QWidget* parent, const char* name, const QString& title) {
  auto* chart = new QChart;
  chart->setTitle(title);
  chart->setTitleFont(songFont(windowFontPointSize, true));
  chart->legend()->hide();  // the title names the lines by colour
  chart->setMargins(QMargins(0, 0, 0, 0));
  chart->layout()->setContentsMargins(0, 0, 0, 0);
  chart->setBackgroundRoundness(0);
  auto* view = new QChartView(chart, parent);
  view->setObjectName(QString::fromUtf8(name));
  view->setRenderHint(QPainter::Antialiasing);
  view->setMinimumSize(160, 80);
  return view;
}

QLineSeries* addLine(QChart* chart, const char* name, const QString& legend, QRgb colour, QAbstractAxis* x,
                     QAbstractAxis* y) {
  auto* series = new QLineSeries(chart);
  series->setObjectName(QString::fromUtf8(name));
  series->setName(legend);
  QPen pen(QColor::fromRgb(colour));
  pen.setWidthF(2);
  series->setPen(pen);
  chart->addSeries(series);
  series->attachAxis(x);
  series->attachAxis(y);
  return series;
}

}  // namespace

SimulationPanel::SimulationPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("simulationPanel"));
  QGridLayout* grid = createEntries();
  QHBoxLayout* buttons = createButtons();
  table_ = new QTableWidget(this);
  table_->setObjectName(QStringLiteral("simulationTable"));
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->setVisible(false);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  table_->setMinimumHeight(60);
  createCharts();

  auto* side = new QVBoxLayout;
  side->addLayout(buttons);
  side->addLayout(grid);
  side->addStretch();
  auto* split = new QSplitter(Qt::Horizontal, this);
  split->setObjectName(QStringLiteral("simulationSplit"));
  split->addWidget(table_);
  split->addWidget(carbonChart_);
  split->addWidget(temperatureChart_);
  split->setStretchFactor(0, 3);
  split->setStretchFactor(1, 1);
  split->setStretchFactor(2, 1);
  split->setChildrenCollapsible(false);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(side);
  layout->addWidget(split, 1);
  showProblem(QString());
}

// The heat entries with their captions, three a row as in 物料平衡.
QGridLayout* SimulationPanel::createEntries() {
  auto* grid = new QGridLayout;
  for (std::size_t i = 0; i < entryRows.size(); ++i) {
    const EntryRow& row = entryRows[i];
    entries_[i] = addEntry(row.name, toQString(PlanHeat().*row.field), QString::fromUtf8(row.tip));
    auto* label = new QLabel(QString::fromUtf8(row.caption), this);
    label->setBuddy(entries_[i]);
    const int at = static_cast<int>(i);
    grid->addWidget(label, at / 3, 2 * (at % 3));
    grid->addWidget(entries_[i], at / 3, 2 * (at % 3) + 1);
  }
  return grid;
}

// 模拟, the three buttons and the status line, on one row.
QHBoxLayout* SimulationPanel::createButtons() {
  simulate_ = new QCheckBox(QStringLiteral("模拟"), this);
  simulate_->setObjectName(QStringLiteral("simulate"));
  simulate_->setToolTip(QStringLiteral("按钢水量、初始%C、O2流量和各阶段预测吹炼过程，并在图上画出模拟的路径"));
  connect(simulate_, &QCheckBox::toggled, this, &SimulationPanel::simulatingToggled);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(new QLabel(QStringLiteral("吹炼模拟"), this));
  buttons->addWidget(simulate_);
  const auto addButton = [&](const char* name, const QString& text, const QString& tip, std::function<void()> action) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(QString::fromUtf8(name));
    button->setToolTip(tip);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, std::move(action));
    buttons->addWidget(button);
    return button;
  };
  adopt_ = addButton("adoptSimulatedTemperatures", QStringLiteral("采用模拟温度"),
                     QStringLiteral("把各阶段模拟的终点温度填入吹炼阶段表的温度列（可撤销）"),
                     [this] { emit adoptRequested(); });
  addButton("copySimulation", QStringLiteral("复制"), QStringLiteral("模拟结果复制为制表符分隔的文本"),
            [this] { QGuiApplication::clipboard()->setText(tsv_); });
  addButton("saveSimulation", QStringLiteral("保存CSV…"), QStringLiteral("模拟结果保存为CSV文件"),
            [this] { askAndSave(); });
  // One line after the buttons (its whole text also in its tooltip), so the
  // entries' column stays as low as 物料平衡's.
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("simulationStatus"));
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  status_->setMinimumWidth(120);
  buttons->addWidget(status_, 1);
  return buttons;
}

QLineEdit* SimulationPanel::addEntry(const char* name, const QString& text, const QString& tip) {
  auto* edit = new QLineEdit(text, this);
  edit->setObjectName(QString::fromUtf8(name));
  edit->setToolTip(tip);
  edit->setMaximumWidth(70);
  return edit;
}

void SimulationPanel::createCharts() {
  carbonChart_ = timeChart(this, "carbonTimeChart", QStringLiteral("[%C]（蓝）、[%Cr]（绿）"));
  temperatureChart_ = timeChart(this, "temperatureTimeChart", QStringLiteral("熔池温度/℃"));
  const QFont small = songFont(7);
  for (QChartView* view : {carbonChart_, temperatureChart_}) {
    auto* minutes = new QValueAxis(view->chart());
    minutes->setLabelFormat(QStringLiteral("%.0f min"));
    minutes->setTickCount(3);
    minutes->setLabelsFont(small);
    view->chart()->addAxis(minutes, Qt::AlignBottom);
  }
  auto* percent = new QLogValueAxis(carbonChart_->chart());
  percent->setBase(10);
  percent->setLabelFormat(QStringLiteral("%g"));
  percent->setLabelsFont(small);
  carbonChart_->chart()->addAxis(percent, Qt::AlignLeft);
  auto* celsius = new QValueAxis(temperatureChart_->chart());
  celsius->setLabelFormat(QStringLiteral("%.0f"));
  celsius->setTickCount(3);
  celsius->setLabelsFont(small);
  temperatureChart_->chart()->addAxis(celsius, Qt::AlignLeft);
  QAbstractAxis* carbonTime = carbonChart_->chart()->axes(Qt::Horizontal).front();
  QAbstractAxis* heatTime = temperatureChart_->chart()->axes(Qt::Horizontal).front();
  carbon_ = addLine(carbonChart_->chart(), "carbonTime", QStringLiteral("[%C]"), 0x1f5fbf, carbonTime, percent);
  chromium_ = addLine(carbonChart_->chart(), "chromiumTime", QStringLiteral("[%Cr]"), 0x2ca02c, carbonTime, percent);
  temperature_ =
      addLine(temperatureChart_->chart(), "temperatureTime", QStringLiteral("温度"), 0xd62728, heatTime, celsius);
}

bool SimulationPanel::simulating() const { return simulate_->isChecked(); }

void SimulationPanel::setSimulating(bool on) { simulate_->setChecked(on); }

QString SimulationPanel::statusText() const { return status_->text(); }

void SimulationPanel::showStatus(const QString& text) {
  status_->setText(text);
  status_->setToolTip(text);
}

void SimulationPanel::showProblem(const QString& problem) {
  showStatus(problem);
  table_->clear();
  table_->setRowCount(0);
  table_->setColumnCount(0);
  tsv_.clear();
  csv_.clear();
  adopt_->setEnabled(false);
  showPath({});
}

void SimulationPanel::showSimulation(const BlowSimulation& simulation, const std::vector<SimulationStage>& stages,
                                     const std::vector<BlowStage>& typed) {
  std::vector<std::vector<std::string>> rows = simulationRows(simulation, stages);
  const std::vector<std::vector<std::string>> reduction = reductionRows(simulation);
  tsv_ = toQString(simulationTsv(simulation, stages));
  std::vector<std::vector<std::string>> all = rows;
  all.emplace_back();
  all.insert(all.end(), reduction.begin(), reduction.end());
  csv_ = QByteArray("\xEF\xBB\xBF") + QByteArray::fromStdString(stageTableCsv(all));
  fillTable(all, typed);
  const bool simulated = !simulation.stages.empty() && simulation.stages.front().problem == SimulationProblem::None;
  adopt_->setEnabled(simulated);
  showStatus(simulation.totals ? QStringLiteral("%1段，%2 min")
                                     .arg(simulation.stages.size())
                                     .arg(toQString(fixedText(simulation.totals->minutes, 2)))
                               : QStringLiteral("有阶段无法模拟，见表中说明"));
  showPath(simulation.path);
}

// The CLI's rows, with the stages' typed %C and t in two columns of their own.
void SimulationPanel::fillTable(const std::vector<std::vector<std::string>>& rows,
                                const std::vector<BlowStage>& typed) {
  const std::vector<std::string>& header = rows.front();
  const int columns = static_cast<int>(header.size()) + 2;
  table_->clear();
  table_->setColumnCount(columns);
  table_->setRowCount(static_cast<int>(rows.size()) - 1);
  QStringList names;
  for (const std::string& name : header) names << toQString(name);
  names << QStringLiteral("实测%C") << QStringLiteral("实测温度/℃");
  table_->setHorizontalHeaderLabels(names);
  for (std::size_t r = 1; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      table_->setItem(static_cast<int>(r - 1), static_cast<int>(c), new QTableWidgetItem(toQString(rows[r][c])));
    }
    const std::size_t stage = r - 1;
    if (stage < typed.size() && r + 2 < rows.size()) {  // a stage row, not 合计 or the reduction
      table_->setItem(static_cast<int>(stage), columns - 2,
                      new QTableWidgetItem(toQString(std::string(trimmedItem(typed[stage].measuredCarbon)))));
      table_->setItem(static_cast<int>(stage), columns - 1,
                      new QTableWidgetItem(toQString(std::string(trimmedItem(typed[stage].temperature)))));
    }
  }
  for (const int column : {endCarbonColumn, endTemperatureColumn}) {
    if (QTableWidgetItem* item = table_->horizontalHeaderItem(column)) item->setToolTip(QStringLiteral("模拟值"));
  }
  table_->resizeColumnsToContents();
}

void SimulationPanel::showPath(const std::vector<PathSample>& path) {
  QList<QPointF> carbon, chromium, temperature;
  double low = 1, high = 10, first = 0, last = 1, cold = 1500, hot = 1700;
  for (const PathSample& p : path) {
    if (p.carbon > 0) carbon << QPointF(p.minutes, p.carbon);
    chromium << QPointF(p.minutes, p.chromium);
    temperature << QPointF(p.minutes, p.temperature);
  }
  if (!path.empty()) {
    first = path.front().minutes;
    last = std::max(path.back().minutes, first + 1);
    const auto [c0, c1] = std::minmax_element(path.begin(), path.end(), [](const PathSample& a, const PathSample& b) {
      return a.temperature < b.temperature;
    });
    cold = std::floor(c0->temperature / 10) * 10 - 10;
    hot = std::ceil(c1->temperature / 10) * 10 + 10;
    low = high = path.front().chromium;
    for (const QList<QPointF>* line : {&carbon, &chromium}) {
      for (const QPointF& p : *line) {
        low = std::min(low, p.y());
        high = std::max(high, p.y());
      }
    }
    low = std::pow(10.0, std::floor(std::log10(std::max(low, 1e-4))));
    high = std::pow(10.0, std::ceil(std::log10(high)));
  }
  carbon_->replace(carbon);
  chromium_->replace(chromium);
  temperature_->replace(temperature);
  for (QChartView* view : {carbonChart_, temperatureChart_})
    view->chart()->axes(Qt::Horizontal).front()->setRange(first, last);
  carbonChart_->chart()->axes(Qt::Vertical).front()->setRange(low, high);
  temperatureChart_->chart()->axes(Qt::Vertical).front()->setRange(cold, hot);
}

std::optional<QString> SimulationPanel::writeCsv(const QString& path) const { return writeFileWhole(path, csv_); }

void SimulationPanel::askAndSave() {
  askAndSaveCsv(this, QStringLiteral("保存吹炼模拟"), QStringLiteral("吹炼模拟.csv"), csv_,
                QStringLiteral("平衡曲线图"));
}

}  // namespace velkarin
