#include "ui/widget_result_sink.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPalette>

namespace velkarin {

void WidgetResultSink::setOutput(OutputBox box, const std::string& text, const std::string& note) {
  QLineEdit* edit = outputs_[static_cast<std::size_t>(box) - 1];
  QPalette palette = edit->palette();
  palette.setColor(QPalette::Text, note.empty() ? QPalette().color(QPalette::Text) : noteTextColour);
  edit->setPalette(palette);
  edit->setToolTip(QString::fromStdString(note));
  edit->setText(QString::fromStdString(text));
  edit->setCursorPosition(0);  // a text wider than the box shows its leading digits
}

void WidgetResultSink::appendResultLine(const std::string& line) {
  list_->addItem(QString::fromStdString(line));
  list_->scrollToItem(list_->item(list_->count() - 1));
}

void WidgetResultSink::setClipboard(const std::optional<std::string>& text) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->clear();
  if (text) clipboard->setText(QString::fromStdString(*text));
}

void WidgetResultSink::notify(const std::string& message) {
  QMessageBox::information(parent_, parent_->windowTitle(), QString::fromStdString(message));
}

}  // namespace velkarin
