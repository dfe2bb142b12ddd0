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
  palette.setColor(QPalette::Text, note.empty() ? QPalette().color(QPalette::Text) : noteTextColour);
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

void WidgetResultSink::notify(const std::string& message) {
  QMessageBox::information(parent_, parent_->windowTitle(), toQString(message));
}

}  // namespace velkarin
