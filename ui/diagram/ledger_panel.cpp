// SPDX-License-Identifier: Apache-2.0
#include "ui/diagram/ledger_panel.h"

#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <cmath>

#include "calc/number_list.h"
#include "calc/plan_evaluation.h"
#include "ui/common/qt_text.h"
#include "ui/common/text_file.h"
#include "ui/diagram/chart_marks.h"
#include "words/chinese.h"

namespace velkarin {

namespace {

constexpr int chromiumColumn = 9;  // Cr氧化/kg in the core's ledger table
constexpr int noteColumn = 12;     // 说明

}  // namespace

// The heat's entries, three to a line.
QGridLayout* LedgerPanel::createEntries() {
  auto* entries = new QGridLayout;
  int column = 0;
  const auto place = [&](QLineEdit* edit, const QString& caption) {
    auto* label = new QLabel(caption, this);
    label->setBuddy(edit);
    entries->addWidget(label, column / 6, column % 6);
    entries->addWidget(edit, column / 6, column % 6 + 1);
    column += 2;
  };
  mass_ = addEntry("heatMass", QString(), QStringLiteral("钢水质量，t"));
  place(mass_, QStringLiteral("钢水量W(t)"));
  startCarbon_ = addEntry("startCarbon", QString(), QStringLiteral("吹炼开始时的C浓度，质量%"));
  place(startCarbon_, QStringLiteral("初始%C"));
  oxygenFlow_ = addEntry("oxygenFlow", QString(), QStringLiteral("吹氧流量，Nm³/min（可不填；填了就给出各段时间）"));
  place(oxygenFlow_, QStringLiteral("O2流量(Nm³/min)"));
  fesiGrade_ = addEntry("fesiGrade", QStringLiteral("75"), QStringLiteral("硅铁中的Si，质量%"));
  place(fesiGrade_, QStringLiteral("FeSi品位%"));
  basicity_ = addEntry("basicity", QStringLiteral("1.8"), QStringLiteral("炉渣碱度CaO/SiO2"));
  place(basicity_, QStringLiteral("碱度"));
  return entries;
}

LedgerPanel::LedgerPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("ledgerPanel"));
  QGridLayout* entries = createEntries();
  table_ = new QTableWidget(this);
  table_->setObjectName(QStringLiteral("ledger"));
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->setVisible(false);
  // Sized to the contents when they change (showLedger), not on every paint.
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  // Rows one line of text tall, so that a 6-stage blow with its totals is
  // in sight on a 768-line screen.
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 8);

  auto* buttons = new QHBoxLayout;
  for (const auto& [name, text, tip, action] :
       {std::tuple{"copyLedger", QStringLiteral("复制"), QStringLiteral("物料平衡复制为制表符分隔的文本"),
                   std::function<void()>([this] { QGuiApplication::clipboard()->setText(toTsv_); })},
        std::tuple{"saveLedger", QStringLiteral("保存CSV…"), QStringLiteral("物料平衡保存为CSV文件"),
                   std::function<void()>([this] { askAndSave(); })}}) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(QString::fromUtf8(name));
    button->setToolTip(tip);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, action);
    buttons->addWidget(button);
  }
  buttons->addStretch();

  // The caption with the buttons, the entries under them on the left; the
  // table beside them.
  buttons->insertWidget(0, new QLabel(QStringLiteral("物料平衡"), this));
  auto* side = new QVBoxLayout;
  side->addLayout(buttons);
  side->addLayout(entries);
  reduction_ = new QLabel(this);
  reduction_->setObjectName(QStringLiteral("reduction"));
  reduction_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  side->addWidget(reduction_);
  side->addStretch();
  table_->setMinimumHeight(90);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(side);
  layout->addWidget(table_, 1);
}

// Room for the rows of a 6-stage blow and 合计 without a
// vertical scroll bar (the splitter above may still take it away).
QSize LedgerPanel::sizeHint() const {
  constexpr int rows = 6 + 1;
  const int table =
      reduction_->sizeHint().height() + 2 * table_->frameWidth() + table_->horizontalHeader()->sizeHint().height() +
      rows * table_->verticalHeader()->defaultSectionSize() + table_->horizontalScrollBar()->sizeHint().height();
  const QSize laidOut = QWidget::sizeHint();
  return {laidOut.width(), std::max(laidOut.height(), table)};
}

QLineEdit* LedgerPanel::addEntry(const char* name, const QString& text, const QString& tip) {
  auto* edit = new QLineEdit(text, this);
  edit->setObjectName(QString::fromUtf8(name));
  edit->setToolTip(tip);
  edit->setMaximumWidth(70);
  return edit;
}

void LedgerPanel::showLedger(const std::vector<BlowStage>& stages, const std::vector<StageResult>& results,
                             const BlowLedger& ledger) {
  const LedgerTable table = ledgerTable(stages, results, ledger);
  toTsv_ = toQString(ledgerTsv(table));
  csv_ = QByteArray("\xEF\xBB\xBF") + QByteArray::fromStdString(ledgerCsv(table));
  const auto& header = table.rows.front();
  const int columns = static_cast<int>(header.size());
  const int rows = static_cast<int>(table.rows.size() - 1);
  bool changed = false;
  if (table_->columnCount() != columns) {
    table_->setColumnCount(columns);
    QStringList names;
    for (const std::string& name : header) names << toQString(name);
    table_->setHorizontalHeaderLabels(names);
    changed = true;
  }
  if (table_->rowCount() != rows) {
    table_->setRowCount(rows);
    changed = true;
  }
  // Items are kept from one redraw to the next; only a text that differs is set.
  const auto put = [&](int row, int column, const std::string& text, bool losing) {
    QTableWidgetItem* item = table_->item(row, column);
    if (!item) {
      item = new QTableWidgetItem;
      table_->setItem(row, column, item);
    }
    const QString shown = toQString(text);
    if (item->text() != shown) {
      item->setText(shown);
      changed = true;
    }
    const QBrush brush = losing ? QBrush(QColor::fromRgb(stageLossColour)) : QBrush();
    if (item->foreground() != brush) item->setForeground(brush);
  };
  int row = 0;
  for (std::size_t r = 1; r < table.rows.size(); ++r, ++row) {
    const std::size_t stage = r - 1;
    for (std::size_t c = 0; c < table.rows[r].size(); ++c) {
      // Chromium burnt where the bath is below its governing equilibrium
      // carbon; and the note of a booked stage there whose efficiency it
      // cannot reach.
      const LedgerStage* s = stage < ledger.stages.size() ? &ledger.stages[stage] : nullptr;
      const bool losing =
          s && ((static_cast<int>(c) == chromiumColumn && s->chromiumOxidised > 0 && s->margin && *s->margin < 0) ||
                (static_cast<int>(c) == noteColumn && s->problem == LedgerProblem::None && s->efficiencyUnreachable));
      put(row, static_cast<int>(c), table.rows[r][c], losing);
    }
  }
  // The reduction beside the table, three figures a line, not six rows of two cells.
  QString reduction = QStringLiteral("还原期：");
  for (std::size_t i = 0; i < table.reduction.size(); ++i) {
    const auto& [label, value] = table.reduction[i];
    if (i > 0) reduction += i % 3 == 0 ? QStringLiteral("\n") : QStringLiteral("　");
    reduction += toQString(label) + QLatin1Char(' ') + (value.empty() ? QStringLiteral("—") : toQString(value));
  }
  reduction_->setText(reduction);
  if (changed) table_->resizeColumnsToContents();
}

std::optional<QString> LedgerPanel::writeCsv(const QString& path) const { return writeFileWhole(path, csv_); }

void LedgerPanel::askAndSave() {
  askAndSaveCsv(this, QStringLiteral("保存物料平衡"), QStringLiteral("物料平衡.csv"), csv_,
                QStringLiteral("平衡曲线图"));
}

}  // namespace velkarin
