// SPDX-License-Identifier: Apache-2.0
#pragma once

// The plan as a document, under the diagram's widgets: the file it belongs
// to, the members of that file this version does not know (written back on
// save), and whether it has changes not saved. A change is an edit of an
// entry since the last open or save, or an undo history (the stages' cells,
// rows and moves, and the columns and entries adopted into them) that is not
// at its clean index: undoing back to the saved plan leaves nothing
// modified. Files are read through readPlanFile and written whole or not at
// all; the reasons are worded for the window, in Chinese.
//
// No widget here: the document is driven and tested without a window.

#include <QObject>
#include <QPointer>
#include <QString>
#include <optional>
#include <variant>
#include <vector>

#include "calc/plan.h"

class QUndoStack;

namespace velkarin {

class PlanDocument : public QObject {
  Q_OBJECT

 public:
  explicit PlanDocument(QObject* parent = nullptr);

  // The undo history whose clean state counts; the document clears it on
  // open and marks it clean on save.
  void watch(QUndoStack& history);

  const QString& path() const { return path_; }  // absolute; empty for a plan never saved
  QString fileName() const;                      // "方案" for a plan never saved
  const std::vector<PlanExtraMember>& extraMembers() const { return extraMembers_; }
  bool isModified() const;

  // An entry outside the undo history was changed.
  void entryEdited();

  // The plan in `path`, or why not, in Chinese. Changes nothing.
  static std::variant<Plan, QString> read(const QString& path);
  // The document now holds `plan` (its extra members): nothing modified,
  // the undo history empty. The path stays.
  void reset(const Plan& plan);
  // The plan shown now belongs to `path` (opened from it).
  void belongTo(const QString& path);
  // Writes `plan` with the document's extra members to `path`; the document
  // then belongs to it, unmodified. The reason when it cannot (the old file
  // stays as it was).
  std::optional<QString> save(Plan plan, const QString& path);

 signals:
  void modifiedChanged(bool modified);
  void pathChanged(const QString& path);
  // Any change, also one that leaves the modified flag as it was.
  void edited();

 private:
  void setEntriesEdited(bool edited);

  QString path_;
  std::vector<PlanExtraMember> extraMembers_;
  QPointer<QUndoStack> history_;
  bool entriesEdited_ = false;
};

}  // namespace velkarin
