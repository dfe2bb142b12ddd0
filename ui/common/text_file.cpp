// SPDX-License-Identifier: Apache-2.0
#include "ui/common/text_file.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSaveFile>

namespace velkarin {

std::optional<QString> writeFileWhole(const QString& path, const QByteArray& bytes) {
  // Unbuffered, so that a failed write shows at write() itself: a buffered
  // QSaveFile (Qt 6.4) can report a commit as done after its flush failed,
  // leaving an empty file behind.
  QSaveFile file(path);
  QString error;
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || file.write(bytes) != bytes.size()) {
    error = file.errorString();
    file.cancelWriting();
  }
  if (!file.commit() && error.isEmpty()) error = file.errorString();
  if (!error.isEmpty()) return error;
  return std::nullopt;
}

void askAndSaveCsv(QWidget* parent, const QString& caption, const QString& suggestedName, const QByteArray& bytes,
                   const QString& windowTitle) {
  QString path = QFileDialog::getSaveFileName(parent, caption, suggestedName, QStringLiteral("CSV 文件 (*.csv)"));
  if (path.isEmpty()) return;  // cancelled
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".csv");
  if (const std::optional<QString> error = writeFileWhole(path, bytes)) {
    QMessageBox::critical(parent, windowTitle,
                          QStringLiteral("无法保存文件“%1”：%2").arg(QDir::toNativeSeparators(path), *error));
  }
}

}  // namespace velkarin
