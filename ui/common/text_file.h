// SPDX-License-Identifier: Apache-2.0
#pragma once

// Writes a file whole or not at all: into a temporary file beside it that
// replaces the file only once every byte is written. A target that is a
// device or FIFO (/dev/null, a named pipe) is written in place instead, as
// renaming over it would replace the node.

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace velkarin {

// The reason, where the file could not be written; the file is then unchanged.
std::optional<QString> writeFileWhole(const QString& path, const QByteArray& bytes);

// What a 另存为 asks and says: the dialog's caption, the suggested name or
// path, its filter, the suffix added to a name without one ("csv"), and
// for a failure the message box's title and its text, with %1 the file and
// %2 the reason ("无法保存文件“%1”：%2").
struct SaveQuestion {
  QString caption;
  QString suggested;
  QString filter;
  QString suffix;
  QString windowTitle;
  QString failure;
};
// Writes to `path` through `write` (which writes whole or not at all and
// gives the reason when it cannot); a failure is said in a message box.
// True when written.
bool writeOrSay(QWidget* parent, const QString& path, const SaveQuestion& question,
                const std::function<std::optional<QString>(const QString& path)>& write);
// Asks for the file, then writeOrSay. The path written; nothing when the
// dialog was cancelled or the file not written.
std::optional<QString> askAndWrite(QWidget* parent, const SaveQuestion& question,
                                   const std::function<std::optional<QString>(const QString& path)>& write);

// 保存CSV…: asks for a CSV file (".csv" added to a name without a suffix)
// and writes `bytes` to it whole; a failure is shown in a message box titled
// `windowTitle`. Nothing happens when the dialog is cancelled.
void askAndSaveCsv(QWidget* parent, const QString& caption, const QString& suggestedName, const QByteArray& bytes,
                   const QString& windowTitle);

}  // namespace velkarin
