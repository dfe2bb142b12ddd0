// SPDX-License-Identifier: Apache-2.0
#include "ui/diagram/entries_bar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <string>

#include "calc/number_list.h"
#include "calc/reaction_data.h"
#include "ui/common/qt_text.h"
#include "ui/diagram/diagram_rows.h"
#include "ui/diagram/entry_bindings.h"
#include "ui/model/plan_document.h"

namespace velkarin {

using namespace diagram;

static void addCaption(QWidget* parent, QHBoxLayout* row, const QString& text, QWidget* buddy) {
  auto* label = new QLabel(text, parent);
  label->setBuddy(buddy);
  row->addWidget(label);
  row->addWidget(buddy);
}

EntriesBar::EntriesBar(PlanDocument& document, EntryBindings& bindings, QWidget* parent)
    : QWidget(parent), document_(document), bindings_(bindings) {
  setObjectName(QStringLiteral("entries"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(4);
  layout->addLayout(createFirstRow());
  layout->addLayout(createSecondRow());
  connect(&document_, &PlanDocument::entryChanged, this, [this](const QString& place) {
    if (place == QLatin1String("A") || place == QLatin1String("B") || place == QLatin1String("reaction") ||
        place == QLatin1String("bothOxides")) {
      showChoices();
    }
  });
  connect(&document_, &PlanDocument::planReset, this, &EntriesBar::showChoices);
}

QHBoxLayout* EntriesBar::createFirstRow() {
  auto* row = new QHBoxLayout;
  reaction_ = new QComboBox(this);
  reaction_->setObjectName(QStringLiteral("reaction"));
  for (const ReactionRow& r : reactionRows) reaction_->addItem(toQString(reactionData(r.reaction).name));
  connect(reaction_, &QComboBox::currentIndexChanged, this, &EntriesBar::switchReaction);
  addCaption(this, row, QStringLiteral("反应"), reaction_);

  preset_ = new QComboBox(this);
  preset_->setObjectName(QStringLiteral("preset"));
  preset_->setPlaceholderText(QStringLiteral("自定义"));
  preset_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  connect(preset_, &QComboBox::currentIndexChanged, this, &EntriesBar::pickPreset);
  addCaption(this, row, QStringLiteral("预设"), preset_);

  auto* constantA = new QLineEdit(this);
  constantA->setObjectName(QStringLiteral("A"));
  constantA->setToolTip(QStringLiteral("A，J/mol"));
  auto* constantB = new QLineEdit(this);
  constantB->setObjectName(QStringLiteral("B"));
  constantB->setToolTip(QStringLiteral("B，J/(mol·K)"));
  for (QLineEdit* edit : {constantA, constantB}) edit->setMaximumWidth(110);
  bindings_.bind(constantA, "A");
  bindings_.bind(constantB, "B");
  addCaption(this, row, QStringLiteral("A="), constantA);
  addCaption(this, row, QStringLiteral("B="), constantB);
  bothOxides_ = new QCheckBox(QStringLiteral("两种氧化物"), this);
  bothOxides_->setObjectName(QStringLiteral("bothOxides"));
  bothOxides_->setToolTip(QStringLiteral("同时画出Cr2O3（实线）和Cr3O4（虚线）的曲线；平衡C浓度较高者控制"));
  connect(bothOxides_, &QCheckBox::toggled, this,
          [this](bool on) { document_.editEntry("bothOxides", on ? "true" : "false"); });
  row->addWidget(bothOxides_);
  auto* note = new QLineEdit(this);
  note->setObjectName(QStringLiteral("note"));
  note->setToolTip(QStringLiteral("方案备注（炉号、班次等），随方案保存并印在报告上"));
  note->setMinimumWidth(120);
  bindings_.bind(note, "note");
  addCaption(this, row, QStringLiteral("备注"), note);
  row->setStretchFactor(note, 1);
  return row;
}

QHBoxLayout* EntriesBar::createSecondRow() {
  auto* row = new QHBoxLayout;
  for (std::size_t i = 0; i < compositionRows.size(); ++i) {
    QLineEdit* composition = addEdit(compositionRows[i].name, compositionRows[i].place);
    composition->setMaximumWidth(60);
    composition->setToolTip(QStringLiteral("质量%"));
    addCaption(this, row, toQString(compositionRows[i].caption), composition);
  }
  QLineEdit* pressures = addEdit("pressures", "pressures");
  pressures->setMinimumWidth(180);
  pressures->setToolTip(QStringLiteral("CO分压Pa或气体比 氧气:惰性气体（如3:1），用逗号分隔，每个一条曲线"));
  addCaption(this, row, QStringLiteral("CO分压(Pa)或气体比"), pressures);
  QLineEdit* totalPressure = addEdit("totalPressure", "totalPressure");
  totalPressure->setMaximumWidth(80);
  totalPressure->setToolTip(QStringLiteral("熔池上方的总压，Pa；气体比r换算为 p_CO = P·2ηr/(2ηr+1)"));
  addCaption(this, row, QStringLiteral("总压P(Pa)"), totalPressure);
  QLineEdit* coShare = addEdit("coShare", "coShare");
  coShare->setMaximumWidth(50);
  coShare->setToolTip(QStringLiteral("生成CO的氧气所占份额η，0<η≤1"));
  addCaption(this, row, QStringLiteral("CO份额η"), coShare);
  row->addStretch();
  return row;
}

QLineEdit* EntriesBar::addEdit(const char* name, const char* place) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(toQString(name));
  bindings_.bind(edit, place);
  return edit;
}

void EntriesBar::fillPresets() {
  const QSignalBlocker block(preset_);
  preset_->clear();
  const ReactionData& reactionTable = reactionData(reactionRows[reaction_->currentIndex()].reaction);
  for (std::size_t row = 0; row < reactionTable.presets.size(); ++row) {
    preset_->addItem(QStringLiteral("%1：A=%2  B=%3")
                         .arg(row + 1)
                         .arg(toQString(reactionTable.presets[row].a), toQString(reactionTable.presets[row].b)));
  }
  preset_->setToolTip(toQString(reactionTable.tooltipA));
}

// Shows the preset row whose texts A and B are, or none (自定义).
void EntriesBar::selectMatchingPreset() {
  const ReactionData& reactionTable = reactionData(reactionRows[reaction_->currentIndex()].reaction);
  int match = -1;
  for (std::size_t row = 0; row < reactionTable.presets.size() && match < 0; ++row) {
    if (trimmedItem(document_.plan().constants.a) == reactionTable.presets[row].a &&
        trimmedItem(document_.plan().constants.b) == reactionTable.presets[row].b) {
      match = static_cast<int>(row);
    }
  }
  const QSignalBlocker block(preset_);
  preset_->setCurrentIndex(match);
}

void EntriesBar::pickPreset(int index) {
  if (index < 0) return;
  const ReactionConstants constants =
      presetConstants(reactionRows[reaction_->currentIndex()].reaction, static_cast<std::size_t>(index));
  document_.editEntries({{"A", constants.a}, {"B", constants.b}}, QStringLiteral("预设"));
}

// A new reaction starts from its first preset row; the other oxide's A and
// B come from its calculation window again.
void EntriesBar::switchReaction(int index) {
  const Reaction reaction = reactionRows[static_cast<std::size_t>(index)].reaction;
  if (reaction == document_.plan().reaction) return;
  const ReactionConstants constants = presetConstants(reaction);
  document_.editEntries({{"reaction", std::string(planReactionName(reaction))}, {"A", constants.a}, {"B", constants.b}},
                        QStringLiteral("反应"));
}

// The reaction, its preset rows with the one A and B match, and the both
// oxides box, as the plan has them.
void EntriesBar::showChoices() {
  const Plan& plan = document_.plan();
  if (reaction_->currentIndex() != static_cast<int>(reactionIndex(plan.reaction))) {
    const QSignalBlocker block(reaction_);
    reaction_->setCurrentIndex(static_cast<int>(reactionIndex(plan.reaction)));
  }
  fillPresets();
  selectMatchingPreset();
  const QSignalBlocker block(bothOxides_);
  bothOxides_->setChecked(plan.bothOxides);
}

}  // namespace velkarin
