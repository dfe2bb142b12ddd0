// SPDX-License-Identifier: Apache-2.0
#pragma once

// Writes a file whole or not at all: into a temporary file beside it that
// replaces the file only once every byte is written. A target that is a
// device or FIFO (/dev/null, a named pipe) is written in place instead, as
// renaming over it would replace the node.

#include <QByteArray>
#include <QString>
#include <optional>

class QWidget;

namespace velkarin {

// The reason, where the file could not be written; the file is then unchanged.
std::optional<QString> writeFileWhole(const QString& path, const QByteArray& bytes);

// 保存CSV…: asks for a CSV file (".csv" added to a name without a suffix)
// and writes `bytes` to it whole; a failure is shown in a message box titled
// `windowTitle`. Nothing happens when the dialog is cancelled.
void askAndSaveCsv(QWidget* parent, const QString& caption, const QString& suggestedName, const QByteArray& bytes,
                   const QString& windowTitle);

}  // namespace velkarin
