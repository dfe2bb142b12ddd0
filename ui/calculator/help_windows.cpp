// SPDX-License-Identifier: Apache-2.0
#include "ui/calculator/help_windows.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "calc/version.h"
#include "ui/common/qt_text.h"

namespace velkarin {

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
    // The guide and its pictures are resources: relative paths resolve there.
    browser->setSource(QUrl(QStringLiteral("qrc:/help/user-guide.md")), QTextDocument::MarkdownResource);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("关闭"));
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::close);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(browser);
    layout->addWidget(buttons);
    dialog->resize(900, 640);
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
