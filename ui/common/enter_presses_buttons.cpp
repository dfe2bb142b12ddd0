// SPDX-License-Identifier: Apache-2.0
#include "ui/common/enter_presses_buttons.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>

namespace velkarin {

namespace {

constexpr const char* filterName = "enterPressesButtons";

class EnterPressesButtons final : public QObject {
 public:
  explicit EnterPressesButtons(QObject* parent) : QObject(parent) { setObjectName(QString::fromLatin1(filterName)); }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    auto* button = qobject_cast<QPushButton*>(watched);
    // A default button in a dialog takes Enter itself.
    if (!button || !button->hasFocus() || button->autoDefault() || button->isDefault()) return false;
    if (!button->isEnabled()) return false;
    // A held key presses once, as Space does.
    if (!key->isAutoRepeat()) button->click();
    return true;
  }
};

}  // namespace

void letEnterPressButtons(QCoreApplication& app) {
  if (app.findChild<EnterPressesButtons*>(QString::fromLatin1(filterName), Qt::FindDirectChildrenOnly)) return;
  app.installEventFilter(new EnterPressesButtons(&app));
}

}  // namespace velkarin
