// SPDX-License-Identifier: Apache-2.0
#include "ui/diagram/entry_bindings.h"

#include <QLineEdit>
#include <QSignalBlocker>

#include "ui/common/qt_text.h"
#include "ui/model/plan_document.h"

namespace velkarin {

EntryBindings::EntryBindings(PlanDocument& document, QObject* parent) : QObject(parent), document_(document) {
  connect(&document_, &PlanDocument::entryChanged, this, &EntryBindings::show);
  connect(&document_, &PlanDocument::planReset, this, [this] {
    for (const auto& [place, edit] : edits_) show(toQString(place));
  });
}

void EntryBindings::bind(QLineEdit* edit, std::string place) {
  connect(edit, &QLineEdit::textChanged, this,
          [this, place](const QString& text) { document_.editEntry(place, text.toStdString()); });
  edits_.emplace_back(std::move(place), edit);
  show(toQString(edits_.back().first));
}

QLineEdit* EntryBindings::edit(const QString& place) const {
  for (const auto& [bound, edit] : edits_) {
    if (toQString(bound) == place) return edit;
  }
  return nullptr;
}

// Set only when it differs: the user's own typing keeps its cursor.
void EntryBindings::show(const QString& place) {
  QLineEdit* shown = edit(place);
  if (!shown) return;
  const QString text = toQString(document_.entry(place.toStdString()));
  if (shown->text() == text) return;
  const QSignalBlocker block(shown);
  shown->setText(text);
}

}  // namespace velkarin
