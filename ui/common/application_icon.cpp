// SPDX-License-Identifier: Apache-2.0
#include "ui/common/application_icon.h"

namespace velkarin {

QIcon applicationIcon() {
  QIcon builtIn;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    builtIn.addFile(QStringLiteral(":/icons/%1.png").arg(size), QSize(size, size));
  }
  return QIcon::fromTheme(QStringLiteral("org.velkarin.Velkarin"), builtIn);
}

}  // namespace velkarin
