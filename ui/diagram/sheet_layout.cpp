// SPDX-License-Identifier: Apache-2.0
#include "ui/diagram/sheet_layout.h"

#include <QEvent>
#include <QSettings>
#include <QSplitter>
#include <QTimer>

namespace velkarin {

namespace {

QString settingsKey(const QSplitter& splitter) { return QStringLiteral("diagram/") + splitter.objectName(); }

}  // namespace

SheetEnlarger::SheetEnlarger(QSplitter& splitter, QWidget* parent) : QToolButton(parent), splitter_(splitter) {
  setObjectName(QStringLiteral("enlargeSheets"));
  setCheckable(true);
  setAutoRaise(true);
  connect(this, &QToolButton::toggled, this, [this](bool on) {
    if (on) sizes_ = splitter_.sizes();
    splitter_.widget(0)->setVisible(!on);
    // Once the window has laid out the chart again (it may have grown back
    // around it), the sizes from before.
    if (!on) QTimer::singleShot(0, this, [this] { splitter_.setSizes(sizes_); });
    showState(on);
  });
  showState(false);
}

void SheetEnlarger::showState(bool enlarged) {
  setText(enlarged ? QStringLiteral("还原") : QStringLiteral("放大"));
  setToolTip(enlarged ? QStringLiteral("重新显示曲线图和吹炼阶段表")
                      : QStringLiteral("下方的表占用整个窗口高度（暂时隐藏曲线图和吹炼阶段表）"));
}

SplitterMemory::SplitterMemory(std::initializer_list<QSplitter*> splitters, QObject* parent)
    : QObject(parent), splitters_(splitters) {
  for (QSplitter* splitter : splitters_) {
    splitter->installEventFilter(this);
    // splitterMoved comes from the user's drag only, not from a layout.
    connect(splitter, &QSplitter::splitterMoved, this,
            [splitter] { QSettings().setValue(settingsKey(*splitter), splitter->sizes().constLast()); });
  }
}

// After the splitter has laid itself out for its new size, the kept size.
bool SplitterMemory::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize) {
    for (QSplitter* splitter : splitters_) {
      if (splitter == watched) QTimer::singleShot(0, this, [this, splitter] { apply(*splitter); });
    }
  }
  return QObject::eventFilter(watched, event);
}

void SplitterMemory::apply(QSplitter& splitter) const {
  bool kept = false;
  const int last = QSettings().value(settingsKey(splitter)).toInt(&kept);
  QList<int> sizes = splitter.sizes();
  if (!kept || sizes.size() != 2 || sizes.constLast() == last || !splitter.widget(0)->isVisible()) return;
  const int total = sizes[0] + sizes[1];
  splitter.setSizes({total - last, last});
}

void SplitterMemory::forget() {
  QSettings settings;
  settings.remove(QStringLiteral("diagram"));
}

}  // namespace velkarin
