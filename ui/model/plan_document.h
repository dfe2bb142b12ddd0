// SPDX-License-Identifier: Apache-2.0
#pragma once

// The plan as a document, under the diagram's views: the one Plan, the file
// it belongs to, the members of that file this version does not know
// (written back on save) and the undo history of its edits. Every edit is a
// command on that history — an entry's text (successive edits of one entry
// are one step), a stage inserted, removed or moved, a stage cell — so the
// plan is modified exactly when the history is away from its clean index:
// undoing back to the plan as opened or saved leaves nothing to save. Files
// are read through readPlanFile and written whole or not at all; the reasons
// are worded for the window, in Chinese.
//
// No widget here: the document is driven and tested without a window.

#include <QObject>
#include <QString>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "calc/plan.h"
#include "ui/model/plan_edits.h"

class QUndoCommand;
class QUndoStack;

namespace velkarin {

class PlanDocument : public QObject {
  Q_OBJECT

 public:
  explicit PlanDocument(QObject* parent = nullptr);

  const Plan& plan() const { return plan_; }
  QUndoStack& history() const { return *history_; }

  const QString& path() const { return path_; }  // absolute; empty for a plan never saved
  QString fileName() const;                      // "方案" for a plan never saved
  bool isModified() const;

  // The other oxide's A and B are the plan's own: an opened plan's, until
  // another reaction is shown (then its calculation window's apply again).
  bool ownOther() const { return ownOther_; }
  // The other oxide's A and B as used (not an edit: they follow its window).
  void setOtherConstants(const ReactionConstants& constants) { plan_.otherConstants = constants; }

  // An entry's text, by place (see planEntryText), and an edit of it.
  std::string entry(std::string_view place) const { return planEntryText(plan_, place); }
  void editEntry(const std::string& place, const std::string& text);
  // Several entries as one step named `name`; unchanged ones are left out.
  void editEntries(const std::vector<std::pair<std::string, std::string>>& texts, const QString& name);

  // The stages' edits; rows past the end are clamped or ignored.
  void insertStage(std::size_t row, const BlowStage& stage);
  void removeStage(std::size_t row);
  void moveStage(std::size_t from, std::size_t to);
  void setStageText(std::size_t row, std::size_t member, const std::string& text);
  // The edits between them are one step named `name`.
  void beginStep(const QString& name);
  void endStep();

  // The plan in `path`, or why not, in Chinese. Changes nothing.
  static std::variant<Plan, QString> read(const QString& path);
  // The document now holds `plan`: nothing modified, the undo history
  // empty; the other oxide's A and B its own, or those of the oxide's
  // calculation window (a new diagram). The path stays.
  void reset(const Plan& plan, bool ownOther = true);
  // The plan now belongs to `path` (opened from it).
  void belongTo(const QString& path);
  // Writes the plan with its extra members to `path`; the document then
  // belongs to it, unmodified. The reason when it cannot (the old file
  // stays as it was).
  std::optional<QString> save(const QString& path);

 signals:
  void entryChanged(const QString& place);
  void stageInserted(int row);
  void stageRemoved(int row);
  void stagesSwapped(int from, int to);
  void stageTextChanged(int row, int member);
  void planReset();  // reset: everything may differ
  void modifiedChanged(bool modified);
  void pathChanged(const QString& path);
  // Any edit, undo or redo, also one that leaves the modified flag as it was.
  void edited();

 private:
  PlanEdits edits();
  void push(QUndoCommand* command);

  Plan plan_;
  bool ownOther_ = false;
  QString path_;
  QUndoStack* history_ = nullptr;
  int stepDepth_ = 0;  // beginStep calls not yet ended
  bool stepOpen_ = false;
  QString stepName_;
};

}  // namespace velkarin
