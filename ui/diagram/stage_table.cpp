// SPDX-License-Identifier: Apache-2.0
#include "ui/diagram/stage_table.h"

#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QUndoStack>
#include <QVBoxLayout>

#include "calc/number_list.h"
#include "calc/plan_evaluation.h"
#include "ui/common/qt_text.h"
#include "ui/common/text_file.h"
#include "ui/diagram/chart_marks.h"
#include "ui/diagram/stage_clipboard.h"
#include "ui/diagram/stage_grid.h"
#include "ui/model/plan_document.h"
#include "words/chinese.h"

namespace velkarin {

namespace {

constexpr QRgb badStageBackground = 0xfde2e2;  // typed cells of a row that cannot be read

constexpr std::array<const char*, StageTable::ColumnCount> headers{
    "气体比\n或p_CO", "温度\n℃",  "实测\n%C",      "O2\nNm³",       "石灰\nkg", "废钢\nkg",
    "惰性\n气体",     "p_CO\nPa", "Cr2O3\n平衡%C", "Cr3O4\n平衡%C", "控制",     "余量\n%C",
};

QString cellText(const QTableWidget& table, int row, int column) {
  const QTableWidgetItem* item = table.item(row, column);
  return item ? item->text() : QString();
}

}  // namespace

StageTable::StageTable(PlanDocument& document, QWidget* parent) : QWidget(parent), document_(document) {
  setObjectName(QStringLiteral("stagePanel"));
  createControls();
  followDocument();
  // As wide as its shown columns where the window has the room (the chart
  // beside it takes the rest); narrower, the table scrolls sideways.
  setMinimumWidth(300);
  createKeys();
  showSimulationColumns(false);
}

void StageTable::showSimulationColumns(bool shown) {
  for (const int column : {Lime, Scrap, Inert}) table_->setColumnHidden(column, !shown);
  if (!shown && table_->currentColumn() > Oxygen && table_->currentColumn() <= lastTyped) {
    table_->setCurrentCell(table_->currentRow(), Oxygen);
  }
}

QUndoStack* StageTable::undoStack() const { return &document_.history(); }

void StageTable::setColumnTexts(int column, const std::vector<QString>& texts, const QString& name) {
  document_.beginStep(name);
  for (std::size_t row = 0; row < document_.plan().stages.size() && row < texts.size(); ++row) {
    document_.setStageText(row, static_cast<std::size_t>(column), texts[row].toStdString());
  }
  document_.endStep();
}

// The rows follow the document's stages, and the target entry its target.
void StageTable::followDocument() {
  connect(&document_, &PlanDocument::stageInserted, this, [this](int row) {
    putStage(row, document_.plan().stages.at(static_cast<std::size_t>(row)));
    table_->setCurrentCell(row, Gas);
    emit stagesChanged();
  });
  connect(&document_, &PlanDocument::stageRemoved, this, [this](int row) {
    table_->removeRow(row);
    emit stagesChanged();
  });
  connect(&document_, &PlanDocument::stagesSwapped, this, [this](int from, int to) {
    swapStages(from, to);
    emit stagesChanged();
  });
  connect(&document_, &PlanDocument::stageTextChanged, this, [this](int row, int column) {
    showStageText(row, column);
    emit stagesChanged();
  });
  connect(&document_, &PlanDocument::entryChanged, this, [this](const QString& place) {
    if (place != QLatin1String("target")) return;
    const QString text = toQString(document_.plan().target);
    if (target_->text() != text) {
      const QSignalBlocker block(target_);
      target_->setText(text);
    }
    emit stagesChanged();
  });
  connect(&document_, &PlanDocument::planReset, this, [this] {
    {
      const QSignalBlocker block(target_);
      target_->setText(toQString(document_.plan().target));
    }
    showAllStages();
    emit stagesChanged();
  });
}

QPushButton* StageTable::addButton(const char* name, const QString& text, const QString& tip,
                                   const std::function<void()>& action) {
  auto* button = new QPushButton(text, this);
  button->setObjectName(toQString(name));
  button->setToolTip(tip);
  button->setAutoDefault(false);
  connect(button, &QPushButton::clicked, this, action);
  return button;
}

void StageTable::createTable() {
  table_ = new StageGrid(ColumnCount, lastTyped + 1, this);
  table_->setObjectName(QStringLiteral("stages"));
  QStringList names;
  for (const char* header : headers) names << QString::fromUtf8(header);
  table_->setHorizontalHeaderLabels(names);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  // Rows one line of text tall: more stages in sight.
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 8);
  // Typing into a cell edits it; Tab in an editor goes on to the next cell.
  table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
  table_->setToolTip(
      QStringLiteral("气体比写作 氧气:惰性气体（如3:1），或直接写CO分压Pa；"
                     "O2为本段吹氧量Nm³（空：由脱碳量按η算出）；"
                     "模拟时另有石灰、废钢（kg，本段开始时加入）和惰性气体（Ar或N2，空为Ar）；"
                     "Insert添加、Shift+Delete删除、Ctrl+↑/↓移动阶段，Delete清除所选单元格，Ctrl+C复制整张表"));
  // A focus frame, so the keyboard's place shows on an empty table too.
  table_->setStyleSheet(QStringLiteral("QTableWidget#stages:focus { border: 2px solid palette(highlight); }"));
  // The user's edit of a typed cell goes to the document as an undoable step.
  connect(table_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (filling_ || item->column() > lastTyped) return;
    document_.setStageText(static_cast<std::size_t>(item->row()), static_cast<std::size_t>(item->column()),
                           item->text().toStdString());
  });
}

// The cursor goes into the new row's first cell, so what is typed next lands there.
void StageTable::addStageAfterCurrent() {
  const std::optional<std::size_t> current = currentStage();
  const int row = current ? static_cast<int>(*current) + 1 : table_->rowCount();
  insertStage(row, {});
  table_->setFocus();
  table_->setCurrentCell(row, Gas);
  table_->editItem(table_->item(row, Gas));
}

void StageTable::createControls() {
  createTable();
  auto* edit = new QHBoxLayout;
  edit->addWidget(addButton("addStage", QStringLiteral("添加"), QStringLiteral("在当前阶段后添加一段（Insert）"),
                            [this] { addStageAfterCurrent(); }));
  edit->addWidget(addButton("removeStage", QStringLiteral("删除"), QStringLiteral("删除当前阶段（Shift+Delete）"),
                            [this] { removeCurrentStage(); }));
  edit->addWidget(
      addButton("moveStageUp", QStringLiteral("上移"), QStringLiteral("Ctrl+↑"), [this] { moveCurrentStage(-1); }));
  edit->addWidget(
      addButton("moveStageDown", QStringLiteral("下移"), QStringLiteral("Ctrl+↓"), [this] { moveCurrentStage(+1); }));
  edit->addStretch();

  target_ = new QLineEdit(this);
  target_->setObjectName(QStringLiteral("target"));
  target_->setMaximumWidth(80);
  target_->setToolTip(QStringLiteral("目标C浓度，质量%；图中画一条水平线"));
  connect(target_, &QLineEdit::textChanged, this,
          [this](const QString& text) { document_.editEntry("target", text.toStdString()); });
  auto* solve = new QHBoxLayout;
  auto* caption = new QLabel(QStringLiteral("目标%C"), this);
  caption->setBuddy(target_);
  solve->addWidget(caption);
  solve->addWidget(target_);
  solve->addWidget(addButton("solveTemperature", QStringLiteral("求温度"),
                             QStringLiteral("当前阶段的CO分压下，平衡C浓度达到目标所需的熔池温度"),
                             [this] { emit solveTemperature(); }));
  solve->addWidget(addButton("solveRatio", QStringLiteral("求气体比"),
                             QStringLiteral("当前阶段的温度下，平衡C浓度达到目标所需的气体比和CO分压"),
                             [this] { emit solveRatio(); }));
  // The exports on the same line: the table keeps the height.
  auto* exports = solve;
  exports->addWidget(addButton("copyStages", QStringLiteral("复制"), QStringLiteral("整张表复制为制表符分隔的文本"),
                               [this] { copyTable(); }));
  exports->addWidget(addButton("saveStages", QStringLiteral("保存CSV…"), QStringLiteral("整张表保存为CSV文件"),
                               [this] { askAndSave(); }));
  exports->addStretch();

  solution_ = new QLabel(this);
  solution_->setObjectName(QStringLiteral("stageSolution"));
  solution_->setWordWrap(true);
  solution_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(new QLabel(QStringLiteral("吹炼阶段"), this));
  layout->addWidget(table_, 1);
  layout->addLayout(edit);
  layout->addLayout(solve);
  layout->addWidget(solution_);
}

void StageTable::createKeys() {
  const auto key = [this](QKeySequence sequence, auto action) {
    auto* shortcut = new QShortcut(sequence, table_);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    connect(shortcut, &QShortcut::activated, this, action);
  };
  key(QKeySequence(Qt::Key_Insert), [this] { addStageAfterCurrent(); });
  key(QKeySequence(Qt::Key_Delete), [this] { clearSelectedCells(); });
  key(QKeySequence(Qt::SHIFT | Qt::Key_Delete), [this] { removeCurrentStage(); });
  key(QKeySequence(Qt::CTRL | Qt::Key_Up), [this] { moveCurrentStage(-1); });
  key(QKeySequence(Qt::CTRL | Qt::Key_Down), [this] { moveCurrentStage(+1); });
  key(QKeySequence::Copy, [this] { copyTable(); });
  key(QKeySequence::Paste, [this] { pasteStages(QGuiApplication::clipboard()->text()); });
}

const std::vector<BlowStage>& StageTable::stages() const { return document_.plan().stages; }

std::optional<double> StageTable::target() const { return readTarget(target_->text().toStdString()).value; }

QString StageTable::targetProblem() const {
  return toQString(chinese(readTarget(target_->text().toStdString()).problem));
}

std::optional<std::size_t> StageTable::currentStage() const {
  if (table_->rowCount() == 0) return std::nullopt;
  const int row = table_->currentRow();
  return static_cast<std::size_t>(row < 0 ? 0 : row);
}

// Every row again from the document (a plan opened).
void StageTable::showAllStages() {
  const HeldColumnWidths held(*table_);
  table_->setRowCount(0);
  const std::vector<BlowStage>& all = stages();
  for (std::size_t row = 0; row < all.size(); ++row) putStage(static_cast<int>(row), all[row]);
  if (table_->rowCount() > 0) table_->setCurrentCell(0, Gas);
}

int StageTable::pasteStages(const QString& text) {
  const PastedStages pasted = readPastedStages(text);
  if (pasted.value) {
    // One value: into the current typed cell, as typing it would.
    QTableWidgetItem* item = table_->currentItem();
    if (item && item->column() <= lastTyped) item->setText(*pasted.value);
    return 0;
  }
  if (pasted.stages.empty()) return 0;
  const std::optional<std::size_t> current = currentStage();
  int row = current ? static_cast<int>(*current) + 1 : table_->rowCount();
  document_.beginStep(QStringLiteral("粘贴阶段"));
  for (const BlowStage& stage : pasted.stages) insertStage(row++, stage);
  document_.endStep();
  return static_cast<int>(pasted.stages.size());
}

void StageTable::insertStage(int row, const BlowStage& stage) {
  document_.insertStage(static_cast<std::size_t>(std::max(row, 0)), stage);
}

void StageTable::removeCurrentStage() {
  const std::optional<std::size_t> row = currentStage();
  if (!row) return;
  document_.removeStage(*row);
}

// Delete empties the selected typed cells, as one undoable step; the rows stay.
void StageTable::clearSelectedCells() {
  document_.beginStep(QStringLiteral("清除"));
  for (const QTableWidgetItem* item : table_->selectedItems()) {
    if (item->column() > lastTyped) continue;
    document_.setStageText(static_cast<std::size_t>(item->row()), static_cast<std::size_t>(item->column()), {});
  }
  document_.endStep();
}

void StageTable::moveCurrentStage(int by) {
  const std::optional<std::size_t> current = currentStage();
  if (!current) return;
  const int from = static_cast<int>(*current), to = from + by;
  if (to < 0 || to >= table_->rowCount()) return;
  document_.moveStage(static_cast<std::size_t>(from), static_cast<std::size_t>(to));
}

// The rows as the document's edits change them.
void StageTable::putStage(int row, const BlowStage& stage) {
  filling_ = true;
  table_->insertRow(row);
  for (int column = 0; column < ColumnCount; ++column) {
    auto* item = new QTableWidgetItem(
        column <= lastTyped ? toQString(stage.*stageMemberFields[static_cast<std::size_t>(column)]) : QString());
    if (column > lastTyped) {
      // Computed: never current, never edited; drawn in the plain text colour.
      item->setFlags(Qt::NoItemFlags);
      item->setForeground(table_->palette().color(QPalette::Text));
    }
    table_->setItem(row, column, item);
  }
  filling_ = false;
}

// A cell the document changed; the cursor goes to it unless it shows the
// text already (the user's own edit).
void StageTable::showStageText(int row, int column) {
  QTableWidgetItem* item = table_->item(row, column);
  const QString text =
      toQString(stages().at(static_cast<std::size_t>(row)).*stageMemberFields.at(static_cast<std::size_t>(column)));
  if (!item || item->text() == text) return;
  filling_ = true;
  item->setText(text);
  filling_ = false;
  table_->setCurrentCell(row, column);
}

void StageTable::swapStages(int from, int to) {
  const int column = std::clamp(table_->currentColumn(), 0, static_cast<int>(lastTyped));
  filling_ = true;
  for (int c = 0; c < ColumnCount; ++c) {
    QTableWidgetItem* a = table_->takeItem(from, c);
    QTableWidgetItem* b = table_->takeItem(to, c);
    table_->setItem(from, c, b);
    table_->setItem(to, c, a);
  }
  filling_ = false;
  table_->clearSelection();  // only the moved stage's cell stays marked
  table_->setCurrentCell(to, column);
}

void StageTable::setComputed(int row, int column, const QString& text) {
  QTableWidgetItem* item = table_->item(row, column);
  if (item) item->setText(text);
}

// The computed cells are the core's stage table's, column for column.
void StageTable::showResults(const std::vector<StageResult>& results, std::optional<std::size_t> firstAtTarget) {
  results_ = results;
  const std::vector<std::vector<std::string>> computed = stageTable(stages(), results_);
  constexpr std::size_t firstComputed = 4;  // the core table's p_CO column, after number, gas, t and measured %C
  const HeldColumnWidths held(*table_);
  filling_ = true;
  for (int row = 0; row < table_->rowCount() && std::size_t(row) < results.size(); ++row) {
    const std::vector<std::string>& cells = computed[std::size_t(row) + 1];
    for (int column = Pressure; column <= Margin; ++column) {
      setComputed(row, column, toQString(cells[firstComputed + std::size_t(column - Pressure)]));
    }
    if (firstAtTarget == std::size_t(row))
      setComputed(row, Governing, cellText(*table_, row, Governing) + QStringLiteral(" ◎达标"));
    const StageResult& r = results[std::size_t(row)];
    const QRgb colour = r.issue != StageIssue::None || !r.margin ? 0
                        : *r.margin >= 0                         ? stageGainColour
                                                                 : stageLossColour;
    if (QTableWidgetItem* margin = table_->item(row, Margin)) {
      margin->setForeground(colour ? QBrush(QColor::fromRgb(colour)) : QBrush());
    }
    // The 说明 of the core table: the row's issue, on its typed cells.
    const QString issue = toQString(cells.back());
    for (int column = 0; column <= lastTyped; ++column) {
      if (QTableWidgetItem* item = table_->item(row, column)) item->setToolTip(issue);
    }
  }
  filling_ = false;
}

void StageTable::showSolution(const QString& text) { solution_->setText(text); }

QString StageTable::tsv() const {
  const std::vector<BlowStage> all = stages();
  return toQString(stageTableTsv(stageTable(all, results_)));
}

void StageTable::copyTable() const { QGuiApplication::clipboard()->setText(tsv()); }

QByteArray StageTable::csvBytes() const {
  return stageCsvBytes(conditions_ ? conditions_() : Conditions{}, stages(), results_);
}

std::optional<QString> StageTable::writeCsv(const QString& path) const { return writeFileWhole(path, csvBytes()); }

void StageTable::askAndSave() {
  askAndSaveCsv(this, QStringLiteral("保存吹炼阶段表"), QStringLiteral("吹炼阶段.csv"), csvBytes(),
                QStringLiteral("平衡曲线图"));
}

}  // namespace velkarin
