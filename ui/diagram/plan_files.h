// SPDX-License-Identifier: Apache-2.0
#pragma once

// The diagram's plan as the user handles its file: 打开方案 (asking first
// when the plan shown was changed), 保存方案 and 方案另存为 (written whole or
// not at all, a failure said in a message box), the question before the
// diagram closes, and the title that names the file.

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "calc/plan.h"

class QWidget;

namespace velkarin {

class PlanDocument;

class PlanFiles : public QObject {
  Q_OBJECT

 public:
  // `show` shows a plan opened; `dropped` says what the window holds that a
  // plan does not keep (empty: nothing), for the close question.
  PlanFiles(QWidget& window, PlanDocument& document, std::function<void(const Plan&)> show,
            std::function<QString()> dropped);

  // Reads a plan file and shows it; the reason, in Chinese, when it cannot.
  std::optional<QString> open(const QString& path);
  // Asks first when the plan shown was changed, then opens; a file that
  // cannot be read is said in a message box. False then or when kept.
  bool askAndOpen(const QString& path);
  // Shows a plan read from `path`: it belongs to that file.
  void show(const Plan& plan, const QString& path);
  // Writes the plan to `path`; the reason when it cannot.
  std::optional<QString> saveTo(const QString& path);
  // 保存方案 and 方案另存为…: false when cancelled or not written.
  bool save();
  bool saveAs();

  // Whether the diagram may be discarded: nothing changed, or the user
  // answers 保存 (and the plan is saved) or 不保存 (asked once, until the
  // next edit). The same before another plan replaces this one, not remembered.
  bool mayClose();
  bool mayReplace();

 signals:
  // The plan now belongs to `path` (opened or saved; "" for none).
  void fileChanged(const QString& path);

 private:
  bool askToSave(const QString& question);
  void showTitle();

  QWidget& window_;
  PlanDocument& document_;
  std::function<void(const Plan&)> show_;
  std::function<QString()> dropped_;
  bool closeConfirmed_ = false;  // the user chose 不保存 in the close question
};

}  // namespace velkarin
