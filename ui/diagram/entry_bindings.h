// SPDX-License-Identifier: Apache-2.0
#pragma once

// Line edits as views of the plan's entries: what the user types goes to
// the document as an edit of the entry's place, and what the document's
// entry becomes (an edit, an undo, a plan opened) is shown in the edit. The
// edit's own change signals stay quiet when the document sets its text.

#include <QObject>
#include <QString>
#include <string>
#include <utility>
#include <vector>

class QLineEdit;

namespace velkarin {

class PlanDocument;

class EntryBindings : public QObject {
  Q_OBJECT

 public:
  explicit EntryBindings(PlanDocument& document, QObject* parent = nullptr);

  // `edit` shows the entry at `place` ("A", "heat/mass", "note", …).
  void bind(QLineEdit* edit, std::string place);
  // The edit that shows `place`, or nullptr.
  QLineEdit* edit(const QString& place) const;

 private:
  void show(const QString& place);

  PlanDocument& document_;
  std::vector<std::pair<std::string, QLineEdit*>> edits_;
};

}  // namespace velkarin
