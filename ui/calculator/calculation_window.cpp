// SPDX-License-Identifier: Apache-2.0
#include "ui/calculator/calculation_window.h"

#include <QComboBox>
#include <QFrame>
#include <QFutureWatcher>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <vector>

#include "calc/calculation.h"
#include "calc/reaction_data.h"
#include "calc/result_presentation.h"
#include "ui/calculator/dialog_prompt_source.h"
#include "ui/calculator/widget_result_sink.h"
#include "ui/common/qt_text.h"
#include "ui/common/song_font.h"
#include "ui/common/text_file.h"
#include "words/chinese.h"

namespace velkarin {

static QFont controlFont(ControlFont font, const QFont& windowFont) {
  switch (font) {
    case ControlFont::Window:
      return windowFont;
    case ControlFont::Song:
      return songFont(songPointSize);
    case ControlFont::SongBold:
      return songFont(songPointSize, true);
  }
  return windowFont;
}

// Text and fill colours of a row; platformColour keeps the style's.
static void applyColours(QWidget* widget, const ControlRow& row) {
  if (row.foreground == platformColour && row.background == platformColour) return;
  QPalette palette = widget->palette();
  if (row.foreground != platformColour) {
    const QColor colour = QColor::fromRgb(row.foreground);
    palette.setColor(QPalette::Text, colour);
    palette.setColor(QPalette::WindowText, colour);
    widget->setProperty(designedTextColourProperty, colour);
  }
  if (row.background != platformColour) palette.setColor(QPalette::Base, QColor::fromRgb(row.background));
  widget->setPalette(palette);
}

// The geometry of a row, in pixels of the client area; a line's y is the
// middle of its pen.
static QRect controlGeometry(const ControlRow& row) {
  if (row.kind == ControlKind::Line) return QRect(row.x, row.y - row.height / 2, row.width, row.height);
  return QRect(row.x, row.y, row.width, row.height);
}

// Whether a label's text shows whole in its box: not wider than the box, and
// its ink (not the face's whole line height, which for CJK faces is far taller
// than the letters) inside the box when the line is centred vertically.
static bool textFits(const QLabel& label) {
  const QFontMetrics metrics(label.font());
  const QRect room = label.contentsRect();
  if (metrics.horizontalAdvance(label.text()) > room.width()) return false;
  const QRect ink = metrics.tightBoundingRect(label.text());
  const int baseline = room.top() + (room.height() - metrics.height()) / 2 + metrics.ascent();
  return baseline + ink.top() > room.top() && baseline + ink.bottom() < room.bottom();
}

// The layout was drawn for SimSun, whose Latin letters are half as wide as a
// Chinese character. A label keeps its box of the layout table; where the installed face
// needs more room, its font steps down a quarter point at a time until the
// text shows whole.
static void fitLabelFont(QLabel& label) {
  constexpr double smallestPointSize = 6;
  QFont font = label.font();
  while (!textFits(label) && font.pointSizeF() > smallestPointSize) {
    font.setPointSizeF(font.pointSizeF() - 0.25);
    label.setFont(font);
  }
}

CalculationWindow::CalculationWindow(Reaction reaction, QWidget* parent)
    : QWidget(parent), layout_(windowLayout(reaction)), compute_(computeEquilibrium) {
  setObjectName(toQString(layout_.name));
  setWindowTitle(toQString(layout_.caption));
  setFont(songFont(windowFontPointSize));
  setFixedSize(layout_.clientWidth, layout_.clientHeight);
  createControls();
  applyTabOrder();
  calculateButton_->setFocus();
}

ReactionConstants CalculationWindow::constants() const {
  return {constantA_->currentText().toStdString(), constantB_->currentText().toStdString()};
}

void CalculationWindow::createControls() {
  for (const auto rows : {layout_.shared, layout_.own}) {
    for (const ControlRow& row : rows) {
      QWidget* control = createControl(row);
      control->setObjectName(toQString(row.name));
      control->setFont(controlFont(row.font, font()));
      applyColours(control, row);
      control->setGeometry(controlGeometry(row));
      if (auto* label = qobject_cast<QLabel*>(control)) fitLabelFont(*label);
    }
  }
}

QWidget* CalculationWindow::createControl(const ControlRow& row) {
  const QString text = toQString(row.text);
  switch (row.kind) {
    case ControlKind::Label: {
      auto* label = new QLabel(text, this);
      label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      label->setContentsMargins(1, 0, 1, 0);  // a letter without side bearing ("A") keeps off the edge
      return label;
    }
    case ControlKind::OutputBox: {
      auto* box = new QLineEdit(this);
      box->setReadOnly(true);  // only the calculation writes it; the user may select and copy
      outputs_.at(static_cast<std::size_t>(row.shows)) = box;
      return box;
    }
    case ControlKind::ConstantA:
    case ControlKind::ConstantB: {
      const ReactionData& reactionTable = reactionData(layout_.reaction);
      const bool isA = row.kind == ControlKind::ConstantA;
      auto* combo = new QComboBox(this);
      combo->setEditable(true);
      combo->setInsertPolicy(QComboBox::NoInsert);  // a typed value is used, never added
      for (const PresetRow& preset : reactionTable.presets) combo->addItem(toQString(isA ? preset.a : preset.b));
      combo->setCurrentIndex(0);
      combo->setToolTip(toQString(isA ? reactionTable.tooltipA : reactionTable.tooltipB));
      (isA ? constantA_ : constantB_) = combo;
      connect(combo, &QComboBox::currentTextChanged, this, &CalculationWindow::constantsEdited);
      return combo;
    }
    case ControlKind::ResultList:
      resultList_ = new QListWidget(this);
      createListMenu();
      return resultList_;
    case ControlKind::CalculateButton:
      calculateButton_ = createButton(text, &CalculationWindow::calculate);
      return calculateButton_;
    case ControlKind::ExitButton:
      return createButton(text, &CalculationWindow::hideWindow);
    case ControlKind::ClearListButton:
      return createButton(text, &CalculationWindow::clearList);
    case ControlKind::Line: {
      auto* line = new QFrame(this);
      line->setAutoFillBackground(true);
      QPalette palette = line->palette();
      palette.setColor(QPalette::Window, QColor::fromRgb(row.foreground));
      line->setPalette(palette);
      return line;
    }
  }
  return nullptr;
}

QPushButton* CalculationWindow::createButton(const QString& text, void (CalculationWindow::*action)()) {
  auto* button = new QPushButton(text, this);
  button->setAutoDefault(false);  // no button is a default button
  connect(button, &QPushButton::clicked, this, action);
  return button;
}

// Keyboard focus follows the tab indices of the table; labels and the line
// never take focus.
void CalculationWindow::applyTabOrder() {
  std::vector<const ControlRow*> rows;
  for (const auto part : {layout_.shared, layout_.own}) {
    for (const ControlRow& row : part) {
      const bool focusable = row.kind != ControlKind::Label && row.kind != ControlKind::Line;
      if (focusable) rows.push_back(&row);
    }
  }
  std::sort(rows.begin(), rows.end(), [](auto* l, auto* r) { return l->tabIndex < r->tabIndex; });
  QWidget* previous = nullptr;
  for (const ControlRow* row : rows) {
    QWidget* widget = findChild<QWidget*>(toQString(row->name), Qt::FindDirectChildrenOnly);
    if (previous) QWidget::setTabOrder(previous, widget);
    previous = widget;
  }
}

void CalculationWindow::calculate() {
  if (isCalculating()) return;  // one calculation at a time
  DialogPromptSource prompts(this);
  const auto asked = askCalculation(layout_.reaction, constants(), prompts);
  if (const auto* request = std::get_if<CalculationRequest>(&asked)) {
    startComputation(*request);
  } else if (const CalculationOutcome& ended = std::get<CalculationOutcome>(asked); ended.fault) {
    QMessageBox::critical(this, windowTitle(), toQString(chinese(*ended.fault)));
    calculateButton_->setFocus();
  }
}

// The computation gets copies of its inputs only, so the window may go away
// while it runs; its outcome is then dropped with the watcher.
void CalculationWindow::startComputation(const CalculationRequest& request) {
  const unsigned number = ++started_;
  running_ = number;
  auto* watcher = new QFutureWatcher<CalculationOutcome>(this);
  auto* progress = new QProgressDialog(QStringLiteral("正在计算，请稍候……"), QStringLiteral("取消"), 0, 0, this);
  progress->setWindowTitle(windowTitle());
  progress->setWindowModality(Qt::WindowModal);
  progress->setMinimumDuration(200);  // ms: a calculation that quick shows no dialog at all
  progress->setAutoClose(false);
  progress->setAutoReset(false);
  progress->setValue(0);  // starts the dialog's timer
  const auto release = [this, watcher, progress] {
    running_ = 0;
    progress->disconnect(this);
    watcher->disconnect(this);  // an outcome still to come is not shown
    // reset() stops the dialog's show timer: hidden alone, it would still
    // pop up over a message box whose event loop lets the timer fire.
    progress->reset();
    progress->hide();
    progress->deleteLater();
    watcher->deleteLater();
  };
  connect(progress, &QProgressDialog::canceled, this, [this, number, release] {
    if (running_ != number) return;
    release();
    emit calculationEnded();
  });
  connect(watcher, &QFutureWatcher<CalculationOutcome>::finished, this, [this, number, watcher, release] {
    if (running_ != number) return;
    const CalculationOutcome outcome = watcher->result();
    release();
    showOutcome(outcome);
    emit calculationEnded();
  });
  const Compute compute = compute_;
  watcher->setFuture(
      QtConcurrent::run([compute, request] { return compute(request.reaction, request.constants, request.state); }));
}

void CalculationWindow::showOutcome(const CalculationOutcome& outcome) {
  WidgetResultSink sink(outputs_, resultList_, this);
  presentOutcome(sink, outcome,
                 chineseResultNotes());  // a hidden window's notice opens no box (see WidgetResultSink::notify)
  switch (outcome.status) {
    case CalculationOutcome::Status::Completed:
      completedStates_.push_back(outcome.state);
      emit calculationCompleted();
      emit heatsChanged();
      break;
    case CalculationOutcome::Status::Faulted:
      // A window hidden by its Exit keeps the texts written before the
      // fault, but opens no box over the window the user works in.
      if (isVisible()) QMessageBox::critical(this, windowTitle(), toQString(chinese(*outcome.fault)));
      break;
    case CalculationOutcome::Status::Cancelled:
      break;
  }
  if (isVisible()) calculateButton_->setFocus();  // back where the user started, not on the frame
}

// Closing through the title bar discards the window: a calculation still
// running is dropped with it, and an outcome already queued is never shown.
void CalculationWindow::closeEvent(QCloseEvent* event) {
  running_ = 0;
  for (auto* watcher : findChildren<QFutureWatcherBase*>()) watcher->disconnect(this);
  for (auto* progress : findChildren<QProgressDialog*>()) {
    progress->disconnect(this);
    progress->reset();
    progress->hide();
  }
  QWidget::closeEvent(event);
}

// Exit hides the sub-window frame with the window: contents survive until
// the next Show.
void CalculationWindow::hideWindow() {
  if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget())) {
    frame->hide();
  } else {
    hide();
  }
}

void CalculationWindow::clearList() {
  resultList_->clear();
  completedStates_.clear();
  emit heatsChanged();
}

}  // namespace velkarin
