#include "ui/calculator/widget_result_sink.h"
#include "ui/common/qt_text.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPalette>

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
  edit->setCursorPosition(0);  // a text wider than the box shows its leading digits
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
