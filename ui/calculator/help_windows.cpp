// SPDX-License-Identifier: Apache-2.0
#include "ui/calculator/help_windows.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QTextCursor>
#include <QVBoxLayout>

#include "calc/version.h"
#include "ui/common/qt_text.h"

namespace velkarin {

// The manual with a search line: Enter (or 下一个) finds the next place of
// the text, from the top again after the last; 上一个 goes back.
static QWidget* searchRow(QDialog* dialog, QTextBrowser* browser) {
  auto* row = new QWidget(dialog);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* text = new QLineEdit(row);
  text->setObjectName(QStringLiteral("guideSearch"));
  text->setPlaceholderText(QStringLiteral("在说明中查找"));
  auto* next = new QPushButton(QStringLiteral("下一个"), row);
  auto* previous = new QPushButton(QStringLiteral("上一个"), row);
  const auto find = [browser, text](QTextDocument::FindFlags flags) {
    if (text->text().isEmpty() || browser->find(text->text(), flags)) return;
    QTextCursor cursor = browser->textCursor();  // wrap around once
    cursor.movePosition(flags & QTextDocument::FindBackward ? QTextCursor::End : QTextCursor::Start);
    browser->setTextCursor(cursor);
    browser->find(text->text(), flags);
  };
  QObject::connect(text, &QLineEdit::returnPressed, browser, [find] { find({}); });
  QObject::connect(next, &QPushButton::clicked, browser, [find] { find({}); });
  QObject::connect(previous, &QPushButton::clicked, browser, [find] { find(QTextDocument::FindBackward); });
  layout->addWidget(new QLabel(QStringLiteral("查找"), row));
  layout->addWidget(text, 1);
  layout->addWidget(next);
  layout->addWidget(previous);
  return row;
}

void showUserGuide(QWidget* parent) {
  static QPointer<QDialog> open;
  if (!open) {
    auto* dialog = new QDialog(parent);
    dialog->setObjectName(QStringLiteral("userGuide"));
    dialog->setWindowTitle(QStringLiteral("Velkarin 使用说明"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    auto* browser = new QTextBrowser(dialog);
    browser->setObjectName(QStringLiteral("guide"));
    browser->setOpenExternalLinks(true);
    // The manual and its pictures are resources: relative paths resolve there.
    browser->setSource(QUrl(QStringLiteral("qrc:/help/docs/manual/index.html")), QTextDocument::HtmlResource);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("关闭"));
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::close);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(searchRow(dialog, browser));
    layout->addWidget(browser);
    layout->addWidget(buttons);
    // Within the screen at any scale, so that 关闭 is always in reach.
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QSize room = screen ? screen->availableGeometry().size() * 9 / 10 : QSize(900, 640);
    dialog->resize(QSize(900, 640).boundedTo(room));
    open = dialog;
  }
  open->show();
  open->raise();
  open->activateWindow();
}

void showAbout(QWidget* parent) {
  QMessageBox box(parent);
  box.setObjectName(QStringLiteral("about"));
  box.setWindowTitle(QStringLiteral("关于 Velkarin"));
  box.setIconPixmap(parent->windowIcon().pixmap(64, 64));
  box.setTextFormat(Qt::RichText);
  box.setText(QStringLiteral("<b>Velkarin %1</b><br>含铬钢液吹氧和氩氧脱碳的C–Cr–O平衡计算").arg(toQString(version)));
  box.setInformativeText(QStringLiteral("许可证：Apache License 2.0（自由软件）<br>"
                                        "Qt %1（运行时）<br><br>"
                                        "数据：各反应ΔG° = A + B·T 的预设行（A、B下拉框中列出）与活度相互作用系数"
                                        "取自冶金热力学文献中发表的数值，程序按原样使用。")
                             .arg(QString::fromLatin1(qVersion())));
  box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
  box.exec();
}

}  // namespace velkarin
