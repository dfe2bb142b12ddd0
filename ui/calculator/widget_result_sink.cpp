// SPDX-License-Identifier: Apache-2.0
#include "ui/calculator/widget_result_sink.h"
#include "ui/common/qt_text.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPalette>
#include <QStyle>

namespace velkarin {

void WidgetResultSink::setOutput(ResultText quantity, const std::string& text, const std::string& note) {
  QLineEdit* edit = outputs_[static_cast<std::size_t>(quantity)];
  QPalette palette = edit->palette();
  // Without a note the box shows its designed colour (Text8 blue), else the style's.
  const QColor designed = edit->property(designedTextColourProperty).value<QColor>();
  const QColor plain = designed.isValid() ? designed : QPalette().color(QPalette::Text);
  palette.setColor(QPalette::Text, note.empty() ? plain : noteTextColour);
  edit->setPalette(palette);
  edit->setToolTip(toQString(note));
  edit->setText(toQString(text));
  fitText(*edit);
  edit->setCursorPosition(0);  // a text still wider than the box shows its leading digits
}

// A box keeps its designed size; where the face needs more room for a long
// value (ten digits in Text2), its font steps down a quarter point at a time
// until the text shows whole, and comes back for a text that fits.
void WidgetResultSink::fitText(QLineEdit& edit) {
  if (!edit.property("designedPointSize").isValid()) edit.setProperty("designedPointSize", edit.font().pointSizeF());
  QFont font = edit.font();
  font.setPointSizeF(edit.property("designedPointSize").toDouble());
  const int room = edit.contentsRect().width() - 2 * edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth) - 4;
  constexpr double smallest = 6;  // pt
  while (QFontMetrics(font).horizontalAdvance(edit.text()) > room && font.pointSizeF() > smallest) {
    font.setPointSizeF(font.pointSizeF() - 0.25);
  }
  edit.setFont(font);
}

void WidgetResultSink::appendResultLine(const std::string& line) {
  list_->addItem(toQString(line));
  list_->scrollToItem(list_->item(list_->count() - 1));
}

void WidgetResultSink::setClipboard(const std::optional<std::string>& text) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->clear();
  if (text) clipboard->setText(toQString(*text));
}

// A window hidden by its Exit keeps its results but opens no box over the
// window the user works in.
void WidgetResultSink::notify(const std::string& message) {
  if (!parent_->isVisible()) return;
  QMessageBox::information(parent_, parent_->windowTitle(), toQString(message));
}

}  // namespace velkarin
