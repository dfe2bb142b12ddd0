// SPDX-License-Identifier: Apache-2.0
// The result list's right-click menu of a calculation window: all lines
// copied as text, or saved as a text file or a CSV file of their pieces.

#include <QAction>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QListWidget>

#include "calc/result_presentation.h"
#include "ui/calculator/calculation_window.h"
#include "ui/common/qt_text.h"
#include "ui/common/text_file.h"

namespace velkarin {

// The list's right-click menu: all lines as text, or into a file. The
// actions carry names for the tests; they have no keyboard shortcut.
void CalculationWindow::createListMenu() {
  resultList_->setContextMenuPolicy(Qt::ActionsContextMenu);
  auto* copyAll = new QAction(QStringLiteral("复制全部"), resultList_);
  copyAll->setObjectName(QStringLiteral("copyAllLines"));
  connect(copyAll, &QAction::triggered, this, &CalculationWindow::copyAllLines);
  auto* save = new QAction(QStringLiteral("保存为…"), resultList_);
  save->setObjectName(QStringLiteral("saveLines"));
  connect(save, &QAction::triggered, this, &CalculationWindow::saveLines);
  resultList_->addActions({copyAll, save});
}

QStringList CalculationWindow::lines() const {
  QStringList all;
  for (int row = 0; row < resultList_->count(); ++row) all << resultList_->item(row)->text();
  return all;
}

void CalculationWindow::copyAllLines() { QGuiApplication::clipboard()->setText(lines().join(QLatin1Char('\n'))); }

// A UTF-8 text file of the lines, or a CSV file of their pieces (with a byte
// order mark, so that a spreadsheet opened by double-click reads 未找到 right).
void CalculationWindow::saveLines() {
  const QString textFilter = QStringLiteral("文本文件 (*.txt)");
  const QString csvFilter = QStringLiteral("CSV 文件 (*.csv)");
  QFileDialog dialog(this, QStringLiteral("保存结果列表"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters({textFilter, csvFilter});
  dialog.setDefaultSuffix(QStringLiteral("txt"));
  connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, csvFilter](const QString& filter) {
    dialog.setDefaultSuffix(filter == csvFilter ? QStringLiteral("csv") : QStringLiteral("txt"));
  });
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QString path = dialog.selectedFiles().constFirst();

  QByteArray bytes;
  if (path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) {
    std::vector<std::string> all;
    for (const QString& line : lines()) all.push_back(line.toStdString());
    bytes = QByteArray("\xEF\xBB\xBF") + QByteArray::fromStdString(resultListCsv(all));
  } else {
    for (const QString& line : lines()) bytes += line.toUtf8() + '\n';
  }
  writeOrSay(this, path, {{}, {}, {}, {}, windowTitle(), QStringLiteral("无法保存文件“%1”：%2")},
             [&](const QString& file) { return writeFileWhole(file, bytes); });
}

}  // namespace velkarin
