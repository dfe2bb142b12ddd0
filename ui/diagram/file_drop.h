// SPDX-License-Identifier: Apache-2.0
#pragma once

// Files dropped on the program: the first local file of a drop that it
// opens — a plan (*.velkarin) or a CSV of heats (*.csv). The frame and the
// diagram both accept a drop through here and hand it to the diagram's
// openDroppedFile.

#include <QString>

class QDragEnterEvent;
class QDropEvent;
class QMimeData;

namespace velkarin {

struct DroppedFile {
  enum class Kind { None, Plan, Heats };
  Kind kind = Kind::None;
  QString path;
};

DroppedFile droppedFile(const QMimeData* mime);
// Accepts a drag that carries such a file; leaves any other alone.
void acceptDroppableFile(QDragEnterEvent& event);
// The file of a drop, accepted; Kind::None (the event left alone) when it carries none.
DroppedFile takeDroppedFile(QDropEvent& event);

}  // namespace velkarin
