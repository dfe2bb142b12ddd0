// SPDX-License-Identifier: Apache-2.0
// The equilibrium chart's right-click menu: the chart saved as PNG or SVG,
// the curve data copied as tab-separated text.

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QSvgGenerator>

#include "ui/common/qt_text.h"
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

std::optional<QString> EquilibriumChartView::writeImage(const QString& path, ImageFormat format) {
  if (format == ImageFormat::Png) {
    QImageWriter writer(path, "png");
    if (!writer.write(grab().toImage())) return writer.errorString();
    return std::nullopt;
  }
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return file.errorString();
  QSvgGenerator generator;
  generator.setOutputDevice(&file);
  generator.setSize(size());
  generator.setViewBox(QRect(QPoint(0, 0), size()));
  generator.setTitle(chart()->title());
  generator.setDescription(QStringLiteral("平衡曲线图"));
  {
    QPainter painter(&generator);
    render(&painter);
  }
  if (file.error() != QFileDevice::NoError) return file.errorString();
  file.close();
  if (file.error() != QFileDevice::NoError) return file.errorString();
  return std::nullopt;
}

bool EquilibriumChartView::saveImage(const QString& path, ImageFormat format) {
  const std::optional<QString> problem = writeImage(path, format);
  if (problem) {
    QMessageBox::critical(this, QStringLiteral("平衡曲线图"),
                          QStringLiteral("无法保存到“%1”：%2").arg(QDir::toNativeSeparators(path), *problem));
  }
  return !problem;
}

void EquilibriumChartView::askAndSave(ImageFormat format) {
  const bool png = format == ImageFormat::Png;
  const QString suffix = png ? QStringLiteral("png") : QStringLiteral("svg");
  QString path = QFileDialog::getSaveFileName(
      this, png ? QStringLiteral("保存为PNG") : QStringLiteral("保存为SVG"), QStringLiteral("平衡曲线图.") + suffix,
      png ? QStringLiteral("PNG图像 (*.png)") : QStringLiteral("SVG图像 (*.svg)"));
  if (path.isEmpty()) return;  // cancelled
  if (QFileInfo(path).suffix().isEmpty()) path += QLatin1Char('.') + suffix;
  saveImage(path, format);
}

void EquilibriumChartView::copyCurveData() const {
  QGuiApplication::clipboard()->setText(toQString(curveFamilyTsv(curves_)));
}

}  // namespace velkarin
