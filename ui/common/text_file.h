// SPDX-License-Identifier: Apache-2.0
#pragma once

// Writes a file whole or not at all: into a temporary file beside it that
// replaces the file only once every byte is written.

#include <QByteArray>
#include <QString>
#include <optional>

namespace velkarin {

// The reason, where the file could not be written; the file is then unchanged.
std::optional<QString> writeFileWhole(const QString& path, const QByteArray& bytes);

}  // namespace velkarin
