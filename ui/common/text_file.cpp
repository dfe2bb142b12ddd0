// SPDX-License-Identifier: Apache-2.0
#include "ui/common/text_file.h"

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

}  // namespace velkarin
