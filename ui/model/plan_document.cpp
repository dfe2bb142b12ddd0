// SPDX-License-Identifier: Apache-2.0
#include "ui/model/plan_document.h"

#include <QFile>
#include <QFileInfo>
#include <QUndoStack>
#include <algorithm>
#include <cstring>
#include <utility>

#include "calc/plan_file.h"
#include "calc/plan_members.h"
#include "ui/common/qt_text.h"
#include "ui/common/text_file.h"

namespace velkarin {

namespace {

// The reason a plan file cannot be read, in the window's words.
QString planFileErrorText(const PlanFileError& error) {
  switch (error.fault) {
    case PlanFault::NotJson:
      return QStringLiteral("第%1行第%2列不是有效的JSON（%3）")
          .arg(error.line)
          .arg(error.column)
          .arg(toQString(error.detail));
    case PlanFault::NotAPlan:
      return QStringLiteral("不是Velkarin方案文件（缺少 \"format\": \"velkarin-plan\"）");
    case PlanFault::NoVersion:
      return QStringLiteral("方案文件没有版本号（\"version\"）");
    case PlanFault::NewerVersion:
      return QStringLiteral("方案文件的版本%1比本程序能读的版本%2新，请更新Velkarin")
          .arg(toQString(error.member))
          .arg(planVersion);
    case PlanFault::BadMember:
      return QStringLiteral("成员“%1”应为%2").arg(toQString(error.member), toQString(error.detail));
    case PlanFault::TooManyStages:
      return QStringLiteral("阶段多于%1个").arg(maxPlanStages);
    case PlanFault::TooDeep:
      return QStringLiteral("第%1行第%2列：嵌套超过%3层").arg(error.line).arg(error.column).arg(maxPlanDepth);
    case PlanFault::NumberOutOfRange:
      return QStringLiteral("第%1行第%2列%3的数值超出范围（%4）")
          .arg(error.line)
          .arg(error.column)
          .arg(error.member.empty() ? QString() : QStringLiteral("成员“%1”").arg(toQString(error.member)),
               toQString(error.detail));
  }
  return {};
}

// Why a plan file could not be read from the disk.
QString fileReadText(const FileRead& read) {
  switch (read.fault) {
    case FileReadFault::None:
      break;
    case FileReadFault::CannotOpen:
      return QStringLiteral("无法打开：%1").arg(QString::fromLocal8Bit(std::strerror(read.error)));
    case FileReadFault::NotRegular:
      return QStringLiteral("不是普通文件");
    case FileReadFault::TooLarge:
      return QStringLiteral("文件大于%1 MiB").arg(maxPlanFileBytes >> 20);
    case FileReadFault::ReadFailed:
      return QStringLiteral("无法读取：%1").arg(QString::fromLocal8Bit(std::strerror(read.error)));
  }
  return {};
}

}  // namespace

PlanDocument::PlanDocument(QObject* parent) : QObject(parent), history_(new QUndoStack(this)) {
  connect(history_, &QUndoStack::cleanChanged, this, [this] { emit modifiedChanged(isModified()); });
  connect(history_, &QUndoStack::indexChanged, this, &PlanDocument::edited);
}

QString PlanDocument::fileName() const {
  return path_.isEmpty() ? QStringLiteral("方案") : QFileInfo(path_).fileName();
}

bool PlanDocument::isModified() const { return !history_->isClean(); }

PlanEdits PlanDocument::edits() {
  PlanEdits e;
  e.plan = &plan_;
  e.ownOther = &ownOther_;
  e.entryChanged = [this](const std::string& place) { emit entryChanged(toQString(place)); };
  e.stageInserted = [this](std::size_t row) { emit stageInserted(static_cast<int>(row)); };
  e.stageRemoved = [this](std::size_t row) { emit stageRemoved(static_cast<int>(row)); };
  e.stagesSwapped = [this](std::size_t from, std::size_t to) {
    emit stagesSwapped(static_cast<int>(from), static_cast<int>(to));
  };
  e.stageTextChanged = [this](std::size_t row, std::size_t member) {
    emit stageTextChanged(static_cast<int>(row), static_cast<int>(member));
  };
  return e;
}

void PlanDocument::editEntry(const std::string& place, const std::string& text) {
  if (entry(place) == text) return;
  if (!planEntryAccepts(place, text)) return;  // no such entry, or not one of its values
  push(new EntryCommand(edits(), place, text));
}

void PlanDocument::editEntries(const std::vector<std::pair<std::string, std::string>>& texts, const QString& name) {
  beginStep(name);
  for (const auto& [place, text] : texts) {
    if (entry(place) == text) continue;
    if (planEntryAccepts(place, text)) push(new EntryCommand(edits(), place, text));
  }
  endStep();
}

void PlanDocument::insertStage(std::size_t row, const BlowStage& stage) {
  push(new StageRowCommand(edits(), std::min(row, plan_.stages.size()), stage, true));
}

void PlanDocument::removeStage(std::size_t row) {
  if (row < plan_.stages.size()) push(new StageRowCommand(edits(), row, {}, false));
}

void PlanDocument::moveStage(std::size_t from, std::size_t to) {
  if (from < plan_.stages.size() && to < plan_.stages.size() && from != to) {
    push(new StageMoveCommand(edits(), from, to));
  }
}

void PlanDocument::setStageText(std::size_t row, std::size_t member, const std::string& text) {
  if (row >= plan_.stages.size() || member >= stageMemberCount) return;
  if (plan_.stages[row].*stageMemberFields[member] == text) return;
  push(new StageTextCommand(edits(), row, member, text));
}

// The step's macro is opened with its first edit: a step with no edit in
// it leaves no trace in the history.
void PlanDocument::beginStep(const QString& name) {
  if (stepDepth_++ == 0) {
    stepName_ = name;
    stepOpen_ = false;
  }
}

void PlanDocument::endStep() {
  if (stepDepth_ == 0 || --stepDepth_ > 0) return;
  if (stepOpen_) history_->endMacro();
  stepOpen_ = false;
}

void PlanDocument::push(QUndoCommand* command) {
  if (stepDepth_ > 0 && !stepOpen_) {
    history_->beginMacro(stepName_);
    stepOpen_ = true;
  }
  history_->push(command);
}

std::variant<Plan, QString> PlanDocument::read(const QString& path) {
  PlanFileRead read = readPlanFile(QFile::encodeName(path).toStdString());
  if (read.file.fault != FileReadFault::None) return fileReadText(read.file);
  if (!read.plan) return planFileErrorText(*read.error);
  return std::move(*read.plan);
}

void PlanDocument::reset(const Plan& plan, bool ownOther) {
  plan_ = plan;
  ownOther_ = ownOther;
  history_->clear();
  history_->setClean();
  emit planReset();
}

void PlanDocument::belongTo(const QString& path) {
  path_ = QFileInfo(path).absoluteFilePath();
  emit pathChanged(path_);
}

std::optional<QString> PlanDocument::save(const QString& path) {
  if (std::optional<QString> error = writeFileWhole(path, QByteArray::fromStdString(planText(plan_)))) return error;
  history_->setClean();
  belongTo(path);
  return std::nullopt;
}

}  // namespace velkarin
