// SPDX-License-Identifier: Apache-2.0
// The equilibrium chart's right-click menu: the chart saved as PNG or SVG,
// the curve data copied as tab-separated text.

#include <QAction>
#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImageWriter>
#include <QMenu>
#include <QPainter>
#include <QSvgGenerator>

#include "ui/common/qt_text.h"
#include "ui/common/text_file.h"
#include "ui/diagram/chart_export.h"
#include "ui/diagram/equilibrium_chart_view.h"

namespace velkarin {

ChartExport::ChartExport(EquilibriumChartView& view) : QObject(&view), view_(view) {
  menu_ = new QMenu(&view);
  menu_->setObjectName(QStringLiteral("chartMenu"));
  QAction* png = menu_->addAction(QStringLiteral("保存为PNG…"));
  png->setObjectName(QStringLiteral("savePng"));
  connect(png, &QAction::triggered, this, [this] { askAndSave(ImageFormat::Png); });
  QAction* svg = menu_->addAction(QStringLiteral("保存为SVG…"));
  svg->setObjectName(QStringLiteral("saveSvg"));
  connect(svg, &QAction::triggered, this, [this] { askAndSave(ImageFormat::Svg); });
  QAction* copy = menu_->addAction(QStringLiteral("复制曲线数据"));
  copy->setObjectName(QStringLiteral("copyCurveData"));
  connect(copy, &QAction::triggered, this, &ChartExport::copyCurveData);
}

// The image is made in memory, then written whole or not at all: a failed
// write leaves no half image, and an old file stays as it was.
std::optional<QString> ChartExport::writeImage(const QString& path, ImageFormat format) const {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (format == ImageFormat::Png) {
    QImageWriter writer(&buffer, "png");
    if (!writer.write(view_.grab().toImage())) return writer.errorString();
  } else {
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(view_.size());
    generator.setViewBox(QRect(QPoint(0, 0), view_.size()));
    generator.setTitle(view_.chart()->title());
    generator.setDescription(QStringLiteral("平衡曲线图"));
    QPainter painter(&generator);
    view_.render(&painter);
  }
  buffer.close();
  return writeFileWhole(path, bytes);
}

static SaveQuestion imageQuestion(ImageFormat format) {
  const bool png = format == ImageFormat::Png;
  const QString suffix = png ? QStringLiteral("png") : QStringLiteral("svg");
  return {png ? QStringLiteral("保存为PNG") : QStringLiteral("保存为SVG"),
          QStringLiteral("平衡曲线图.") + suffix,
          png ? QStringLiteral("PNG图像 (*.png)") : QStringLiteral("SVG图像 (*.svg)"),
          suffix,
          QStringLiteral("平衡曲线图"),
          QStringLiteral("无法保存到“%1”：%2")};
}

bool ChartExport::saveImage(const QString& path, ImageFormat format) const {
  return writeOrSay(&view_, path, imageQuestion(format), [&](const QString& file) { return writeImage(file, format); });
}

void ChartExport::askAndSave(ImageFormat format) const {
  askAndWrite(&view_, imageQuestion(format), [&](const QString& file) { return writeImage(file, format); });
}

void ChartExport::copyCurveData() const {
  QGuiApplication::clipboard()->setText(toQString(curveFamilyTsv(view_.curves())));
}

}  // namespace velkarin
