// SPDX-License-Identifier: Apache-2.0
#include "ui/model/plan_edits.h"

#include <utility>

#include "calc/plan_members.h"

namespace velkarin {

std::string planEntryText(const Plan& plan, std::string_view place) {
  if (place == "note") return plan.note;
  if (place == "reaction") return std::string(planReactionName(plan.reaction));
  if (place == "bothOxides") return plan.bothOxides ? "true" : "false";
  const std::string* field = planTextField(const_cast<Plan&>(plan), place);  // only read
  return field ? *field : std::string();
}

bool setPlanEntryText(Plan& plan, std::string_view place, const std::string& text) {
  if (place == "note") {
    plan.note = text;
    return true;
  }
  return setPlanCondition(plan, place, text) || [&] {
    std::string* field = planTextField(plan, place);  // the simulation's members
    if (field) *field = text;
    return field != nullptr;
  }();
}

bool planEntryAccepts(std::string_view place, const std::string& text) {
  static Plan blank;  // only the member's place matters, not its value
  if (place == "note") return true;
  if (place == "reaction") return planReaction(text).has_value();
  if (place == "bothOxides") return text == "true" || text == "false";
  return planTextField(blank, place) != nullptr;
}

EntryCommand::EntryCommand(const PlanEdits& edits, std::string place, std::string after, QUndoCommand* parent)
    : QUndoCommand(parent),
      edits_(edits),
      place_(std::move(place)),
      before_(planEntryText(*edits.plan, place_)),
      after_(std::move(after)),
      ownOtherBefore_(*edits.ownOther),
      otherBefore_(edits.plan->otherConstants) {}

void EntryCommand::apply(const std::string& text, bool ownOther) {
  setPlanEntryText(*edits_.plan, place_, text);
  *edits_.ownOther = ownOther;
  edits_.entryChanged(place_);
}

// Another reaction shown: the other oxide's A and B are no longer the ones
// the opened plan gave for it.
void EntryCommand::redo() { apply(after_, place_ == "reaction" ? false : *edits_.ownOther); }

void EntryCommand::undo() {
  if (place_ == "reaction") edits_.plan->otherConstants = otherBefore_;
  apply(before_, place_ == "reaction" ? ownOtherBefore_ : *edits_.ownOther);
}

bool EntryCommand::mergeWith(const QUndoCommand* other) {
  const auto* next = static_cast<const EntryCommand*>(other);  // same id: an EntryCommand
  if (next->place_ != place_ || place_ == "reaction") return false;
  after_ = next->after_;
  setObsolete(after_ == before_);  // typed back to what it was: no step at all
  return true;
}

StageRowCommand::StageRowCommand(const PlanEdits& edits, std::size_t row, BlowStage stage, bool insert)
    : edits_(edits), row_(row), stage_(std::move(stage)), insert_(insert) {}

void StageRowCommand::apply(bool insert) {
  std::vector<BlowStage>& stages = edits_.plan->stages;
  if (insert) {
    stages.insert(stages.begin() + static_cast<std::ptrdiff_t>(row_), stage_);
    edits_.stageInserted(row_);
  } else {
    stage_ = stages.at(row_);
    stages.erase(stages.begin() + static_cast<std::ptrdiff_t>(row_));
    edits_.stageRemoved(row_);
  }
}

StageMoveCommand::StageMoveCommand(const PlanEdits& edits, std::size_t from, std::size_t to)
    : edits_(edits), from_(from), to_(to) {}

void StageMoveCommand::redo() {
  std::swap(edits_.plan->stages.at(from_), edits_.plan->stages.at(to_));
  edits_.stagesSwapped(from_, to_);
}

void StageMoveCommand::undo() {
  std::swap(edits_.plan->stages.at(from_), edits_.plan->stages.at(to_));
  edits_.stagesSwapped(to_, from_);
}

StageTextCommand::StageTextCommand(const PlanEdits& edits, std::size_t row, std::size_t member, std::string after)
    : edits_(edits),
      row_(row),
      member_(member),
      before_(edits.plan->stages.at(row).*stageMemberFields.at(member)),
      after_(std::move(after)) {}

void StageTextCommand::apply(const std::string& text) {
  edits_.plan->stages.at(row_).*stageMemberFields.at(member_) = text;
  edits_.stageTextChanged(row_, member_);
}

}  // namespace velkarin
