// SPDX-License-Identifier: Apache-2.0
#include "ui/diagram/file_drop.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace velkarin {

DroppedFile droppedFile(const QMimeData* mime) {
  if (!mime || !mime->hasUrls()) return {};
  for (const QUrl& url : mime->urls()) {
    const QString path = url.isLocalFile() ? url.toLocalFile() : QString();
    if (path.endsWith(QStringLiteral(".velkarin"), Qt::CaseInsensitive)) return {DroppedFile::Kind::Plan, path};
    if (path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) return {DroppedFile::Kind::Heats, path};
  }
  return {};
}

void acceptDroppableFile(QDragEnterEvent& event) {
  if (droppedFile(event.mimeData()).kind != DroppedFile::Kind::None) event.acceptProposedAction();
}

DroppedFile takeDroppedFile(QDropEvent& event) {
  const DroppedFile file = droppedFile(event.mimeData());
  if (file.kind != DroppedFile::Kind::None) event.acceptProposedAction();
  return file;
}

}  // namespace velkarin
