// SPDX-License-Identifier: Apache-2.0
#pragma once

// The equilibrium chart's right-click menu and its exports: the chart as it
// is shown saved as PNG or SVG (made in memory, written whole or not at
// all), and the curve data copied as tab-separated text (curveFamilyTsv).

#include <QObject>
#include <QString>
#include <optional>

class QMenu;

namespace velkarin {

class EquilibriumChartView;
enum class ImageFormat;

class ChartExport : public QObject {
  Q_OBJECT

 public:
  explicit ChartExport(EquilibriumChartView& view);

  QMenu* menu() const { return menu_; }
  // Writes the chart at the view's size; the reason when it cannot.
  std::optional<QString> writeImage(const QString& path, ImageFormat format) const;
  // writeImage, with a message box on failure; true when written.
  bool saveImage(const QString& path, ImageFormat format) const;
  void askAndSave(ImageFormat format) const;
  void copyCurveData() const;

 private:
  EquilibriumChartView& view_;
  QMenu* menu_ = nullptr;
};

}  // namespace velkarin
