// SPDX-License-Identifier: Apache-2.0
#include "ui/common/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

namespace velkarin {

namespace {

// Writes to a device or FIFO through its own node (a rename would replace
// the node): the errors are the device's, in the system's words.
std::optional<QString> writeInPlace(const QByteArray& path, const QByteArray& bytes) {
  // O_NONBLOCK: a FIFO nobody reads is refused at once (ENXIO) instead of
  // holding the window until a reader comes.
  const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0 && errno == ENXIO) return QStringLiteral("没有程序在读取这个管道");
  if (fd < 0) return QString::fromLocal8Bit(std::strerror(errno));
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  const char* rest = bytes.constData();
  qsizetype left = bytes.size();
  while (left > 0) {
    const ssize_t done = ::write(fd, rest, static_cast<std::size_t>(left));
    if (done < 0 && errno == EINTR) continue;
    if (done < 0) {
      const int error = errno;
      ::close(fd);
      return QString::fromLocal8Bit(std::strerror(error));
    }
    rest += done;
    left -= done;
  }
  if (::close(fd) != 0 && errno != EINTR) return QString::fromLocal8Bit(std::strerror(errno));
  return std::nullopt;
}

}  // namespace

std::optional<QString> writeFileWhole(const QString& path, const QByteArray& bytes) {
  const QByteArray name = QFile::encodeName(path);
  struct stat status {};
  if (::stat(name.constData(), &status) == 0 && !S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode)) {
    return writeInPlace(name, bytes);
  }
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

bool writeOrSay(QWidget* parent, const QString& path, const SaveQuestion& question,
                const std::function<std::optional<QString>(const QString& path)>& write) {
  const std::optional<QString> error = write(path);
  if (error)
    QMessageBox::critical(parent, question.windowTitle, question.failure.arg(QDir::toNativeSeparators(path), *error));
  return !error;
}

std::optional<QString> askAndWrite(QWidget* parent, const SaveQuestion& question,
                                   const std::function<std::optional<QString>(const QString& path)>& write) {
  QString path = QFileDialog::getSaveFileName(parent, question.caption, question.suggested, question.filter);
  if (path.isEmpty()) return std::nullopt;  // cancelled
  if (QFileInfo(path).suffix().isEmpty()) path += QLatin1Char('.') + question.suffix;
  if (!writeOrSay(parent, path, question, write)) return std::nullopt;
  return path;
}

void askAndSaveCsv(QWidget* parent, const QString& caption, const QString& suggestedName, const QByteArray& bytes,
                   const QString& windowTitle) {
  askAndWrite(parent,
              {caption, suggestedName, QStringLiteral("CSV 文件 (*.csv)"), QStringLiteral("csv"), windowTitle,
               QStringLiteral("无法保存文件“%1”：%2")},
              [&](const QString& path) { return writeFileWhole(path, bytes); });
}

}  // namespace velkarin
