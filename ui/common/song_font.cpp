// SPDX-License-Identifier: Apache-2.0
#include "ui/common/song_font.h"

#include <QStringList>

namespace velkarin {

QFont songFont(double pointSize, bool bold) {
  QFont font;
  font.setFamilies({
      QStringLiteral("宋体"),
      QStringLiteral("SimSun"),
      QStringLiteral("NSimSun"),
      QStringLiteral("Noto Serif CJK SC"),  // fonts-noto-cjk: a Song face
      QStringLiteral("Source Han Serif SC"),
      QStringLiteral("AR PL UMing CN"),  // fonts-arphic-uming: a Ming face
      QStringLiteral("AR PL SungtiL GB"),
      QStringLiteral("Noto Sans CJK SC"),  // no Song face at all: any CJK face beats boxes
      QStringLiteral("Source Han Sans SC"),
  });
  font.setStyleHint(QFont::Serif);
  font.setPointSizeF(pointSize);
  font.setBold(bold);
  return font;
}

}  // namespace velkarin
