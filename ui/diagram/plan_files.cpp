// SPDX-License-Identifier: Apache-2.0
#include "ui/diagram/plan_files.h"

#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>
#include <utility>

#include "ui/common/text_file.h"
#include "ui/model/plan_document.h"

namespace velkarin {

namespace {

SaveQuestion planQuestion(const QString& suggested) {
  return {QStringLiteral("方案另存为"),
          suggested,
          QStringLiteral("Velkarin 方案 (*.velkarin)"),
          QStringLiteral("velkarin"),
          QStringLiteral("平衡曲线图"),
          QStringLiteral("无法保存方案“%1”：%2")};
}

}  // namespace

PlanFiles::PlanFiles(QWidget& window, PlanDocument& document, std::function<void(const Plan&)> show,
                     std::function<QString()> dropped)
    : QObject(&window), window_(window), document_(document), show_(std::move(show)), dropped_(std::move(dropped)) {
  // A 不保存 given before covers no later change.
  connect(&document_, &PlanDocument::edited, this, [this] { closeConfirmed_ = false; });
  connect(&document_, &PlanDocument::planReset, this, [this] { closeConfirmed_ = false; });
}

std::optional<QString> PlanFiles::open(const QString& path) {
  std::variant<Plan, QString> read = PlanDocument::read(path);
  if (const auto* reason = std::get_if<QString>(&read)) return *reason;
  show(std::get<Plan>(read), path);
  return std::nullopt;
}

bool PlanFiles::askAndOpen(const QString& path) {
  if (!mayReplace()) return false;
  if (const std::optional<QString> error = open(path)) {
    QMessageBox::critical(&window_, QStringLiteral("打开方案"),
                          QStringLiteral("无法打开方案“%1”：%2").arg(QDir::toNativeSeparators(path), *error));
    return false;
  }
  return true;
}

void PlanFiles::show(const Plan& plan, const QString& path) {
  show_(plan);
  document_.belongTo(path);
  showTitle();
}

std::optional<QString> PlanFiles::saveTo(const QString& path) {
  if (std::optional<QString> error = document_.save(path)) return error;
  showTitle();
  return std::nullopt;
}

bool PlanFiles::save() {
  if (document_.path().isEmpty()) return saveAs();
  return writeOrSay(&window_, document_.path(), planQuestion({}), [this](const QString& path) { return saveTo(path); });
}

bool PlanFiles::saveAs() {
  const QString suggested = document_.path().isEmpty() ? QStringLiteral("方案.velkarin") : document_.path();
  return askAndWrite(&window_, planQuestion(suggested), [this](const QString& path) { return saveTo(path); })
      .has_value();
}

// Closing a diagram whose stages or entries were changed asks first; the
// calculation windows close without a question, as they always have.
bool PlanFiles::mayClose() {
  if (!document_.isModified() || closeConfirmed_) return true;
  closeConfirmed_ = askToSave(QStringLiteral("关闭前是否保存？") + dropped_());
  return closeConfirmed_;
}

bool PlanFiles::mayReplace() {
  return !document_.isModified() || askToSave(QStringLiteral("打开另一个方案前是否保存？"));
}

// 保存 saves (and goes on only when the plan was written), 不保存 goes on,
// 取消 (also Esc) stays.
bool PlanFiles::askToSave(const QString& question) {
  QMessageBox ask(QMessageBox::Question, QStringLiteral("平衡曲线图"),
                  QStringLiteral("“%1”的吹炼阶段和输入已修改。%2").arg(document_.fileName(), question),
                  QMessageBox::NoButton, &window_);
  QPushButton* saving = ask.addButton(QStringLiteral("保存"), QMessageBox::AcceptRole);
  QPushButton* discard = ask.addButton(QStringLiteral("不保存"), QMessageBox::DestructiveRole);
  QPushButton* cancel = ask.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
  ask.setDefaultButton(saving);
  ask.setEscapeButton(cancel);
  ask.exec();
  if (ask.clickedButton() == saving) return save();
  return ask.clickedButton() == discard;
}

// "平衡曲线图 - 方案.velkarin[*]": the frame marks the modified plan.
void PlanFiles::showTitle() {
  window_.setWindowTitle(document_.path().isEmpty() ? QStringLiteral("平衡曲线图[*]")
                                                    : QStringLiteral("平衡曲线图 - %1[*]").arg(document_.fileName()));
  emit fileChanged(document_.path());
}

}  // namespace velkarin
