// SPDX-License-Identifier: Apache-2.0
// The equilibrium chart's right-click menu: the chart saved as PNG or SVG,
// the curve data copied as tab-separated text.

#include <QAction>
#include <QBuffer>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QImageWriter>
#include <QMenu>
#include <QPainter>
#include <QSvgGenerator>

#include "ui/common/qt_text.h"
#include "ui/common/text_file.h"
#include "ui/diagram/equilibrium_chart_view.h"

namespace velkarin {

void EquilibriumChartView::createContextMenu() {
  contextMenu_ = new QMenu(this);
  contextMenu_->setObjectName(QStringLiteral("chartMenu"));
  QAction* png = contextMenu_->addAction(QStringLiteral("保存为PNG…"));
  png->setObjectName(QStringLiteral("savePng"));
  connect(png, &QAction::triggered, this, [this] { askAndSave(ImageFormat::Png); });
  QAction* svg = contextMenu_->addAction(QStringLiteral("保存为SVG…"));
  svg->setObjectName(QStringLiteral("saveSvg"));
  connect(svg, &QAction::triggered, this, [this] { askAndSave(ImageFormat::Svg); });
  QAction* copy = contextMenu_->addAction(QStringLiteral("复制曲线数据"));
  copy->setObjectName(QStringLiteral("copyCurveData"));
  connect(copy, &QAction::triggered, this, &EquilibriumChartView::copyCurveData);
}

void EquilibriumChartView::contextMenuEvent(QContextMenuEvent* event) {
  contextMenu_->popup(event->globalPos());
  event->accept();
}

// The image is made in memory, then written whole or not at all: a failed
// write leaves no half image, and an old file stays as it was.
std::optional<QString> EquilibriumChartView::writeImage(const QString& path, ImageFormat format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (format == ImageFormat::Png) {
    QImageWriter writer(&buffer, "png");
    if (!writer.write(grab().toImage())) return writer.errorString();
  } else {
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size());
    generator.setViewBox(QRect(QPoint(0, 0), size()));
    generator.setTitle(chart()->title());
    generator.setDescription(QStringLiteral("平衡曲线图"));
    QPainter painter(&generator);
    render(&painter);
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

bool EquilibriumChartView::saveImage(const QString& path, ImageFormat format) {
  return writeOrSay(this, path, imageQuestion(format), [&](const QString& file) { return writeImage(file, format); });
}

void EquilibriumChartView::askAndSave(ImageFormat format) {
  askAndWrite(this, imageQuestion(format), [&](const QString& file) { return writeImage(file, format); });
}

void EquilibriumChartView::copyCurveData() const {
  QGuiApplication::clipboard()->setText(toQString(curveFamilyTsv(curves_)));
}

}  // namespace velkarin
