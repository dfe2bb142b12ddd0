// SPDX-License-Identifier: Apache-2.0
#pragma once

// The edits of a plan as undo commands: an entry's text (successive edits
// of one entry merge into one step, and a step that brings the entry back
// to its text before is dropped), a stage inserted or removed, two stages
// swapped, a stage cell's text. Each command changes the plan through a
// PlanEdits, which also tells the views what changed; the commands never
// push commands themselves.

#include <QUndoCommand>
#include <array>
#include <cstddef>
#include <functional>
#include <string>

#include "calc/plan.h"

namespace velkarin {

// The typed members of a stage, in the stage table's column order.
inline constexpr std::size_t stageMemberCount = 7;
inline constexpr std::array<std::string BlowStage::*, stageMemberCount> stageMemberFields{
    &BlowStage::gas,  &BlowStage::temperature, &BlowStage::measuredCarbon, &BlowStage::oxygen,
    &BlowStage::lime, &BlowStage::scrap,       &BlowStage::inert};

// An entry of the plan by its place: a planConditions name ("A",
// "composition/Cr", "heat/mass", "reaction", "bothOxides", …), a simulation
// member ("heat/rateConstant") or "note". Empty text for another place.
std::string planEntryText(const Plan& plan, std::string_view place);
// Sets it; false for a place the plan does not have or a reaction or
// bothOxides text that is not one of its values (the plan is then unchanged).
bool setPlanEntryText(Plan& plan, std::string_view place, const std::string& text);
// Whether setPlanEntryText would take `text` at `place` (without copying a plan).
bool planEntryAccepts(std::string_view place, const std::string& text);

// What the commands change, and how the change is told.
struct PlanEdits {
  Plan* plan = nullptr;
  bool* ownOther = nullptr;  // the other oxide's A and B are the plan's own (see PlanDocument)
  std::function<void(const std::string& place)> entryChanged;
  std::function<void(std::size_t row)> stageInserted;
  std::function<void(std::size_t row)> stageRemoved;
  std::function<void(std::size_t from, std::size_t to)> stagesSwapped;
  std::function<void(std::size_t row, std::size_t member)> stageTextChanged;
};

class EntryCommand final : public QUndoCommand {
 public:
  EntryCommand(const PlanEdits& edits, std::string place, std::string after, QUndoCommand* parent = nullptr);
  void redo() override;
  void undo() override;
  int id() const override { return 1; }
  bool mergeWith(const QUndoCommand* other) override;

 private:
  void apply(const std::string& text, bool ownOther);
  PlanEdits edits_;
  std::string place_, before_, after_;
  // A new reaction takes the other oxide's A and B from its window (which
  // then overwrites them in the plan): undone, the plan's own come back.
  bool ownOtherBefore_ = false;
  ReactionConstants otherBefore_;
};

// Inserting (or, with insert false, removing) the stage at `row`.
class StageRowCommand final : public QUndoCommand {
 public:
  StageRowCommand(const PlanEdits& edits, std::size_t row, BlowStage stage, bool insert);
  void redo() override { apply(insert_); }
  void undo() override { apply(!insert_); }

 private:
  void apply(bool insert);
  PlanEdits edits_;
  std::size_t row_;
  BlowStage stage_;  // the stage inserted, or the one removed (kept on the first redo)
  bool insert_;
};

// Swapping the stages at `from` and `to`; redo and undo alike.
class StageMoveCommand final : public QUndoCommand {
 public:
  StageMoveCommand(const PlanEdits& edits, std::size_t from, std::size_t to);
  void redo() override;
  void undo() override;

 private:
  PlanEdits edits_;
  std::size_t from_, to_;
};

class StageTextCommand final : public QUndoCommand {
 public:
  StageTextCommand(const PlanEdits& edits, std::size_t row, std::size_t member, std::string after);
  void redo() override { apply(after_); }
  void undo() override { apply(before_); }

 private:
  void apply(const std::string& text);
  PlanEdits edits_;
  std::size_t row_, member_;
  std::string before_, after_;
};

}  // namespace velkarin
