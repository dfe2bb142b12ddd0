// SPDX-License-Identifier: Apache-2.0
#include "ui/model/plan_document.h"

#include <QFile>
#include <QFileInfo>
#include <QUndoStack>
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

PlanDocument::PlanDocument(QObject* parent) : QObject(parent) {}

void PlanDocument::watch(QUndoStack& history) {
  history_ = &history;
  connect(&history, &QUndoStack::cleanChanged, this, [this] { emit modifiedChanged(isModified()); });
  connect(&history, &QUndoStack::indexChanged, this, &PlanDocument::edited);
}

QString PlanDocument::fileName() const {
  return path_.isEmpty() ? QStringLiteral("方案") : QFileInfo(path_).fileName();
}

bool PlanDocument::isModified() const { return entriesEdited_ || (history_ && !history_->isClean()); }

void PlanDocument::entryEdited() {
  setEntriesEdited(true);
  emit edited();
}

void PlanDocument::setEntriesEdited(bool edited) {
  const bool before = isModified();
  entriesEdited_ = edited;
  if (isModified() != before) emit modifiedChanged(isModified());
}

std::variant<Plan, QString> PlanDocument::read(const QString& path) {
  PlanFileRead read = readPlanFile(QFile::encodeName(path).toStdString());
  if (read.file.fault != FileReadFault::None) return fileReadText(read.file);
  if (!read.plan) return planFileErrorText(*read.error);
  return std::move(*read.plan);
}

void PlanDocument::reset(const Plan& plan) {
  extraMembers_ = plan.extraMembers;
  if (history_) {
    history_->clear();
    history_->setClean();
  }
  setEntriesEdited(false);
}

void PlanDocument::belongTo(const QString& path) {
  path_ = QFileInfo(path).absoluteFilePath();
  emit pathChanged(path_);
}

std::optional<QString> PlanDocument::save(Plan plan, const QString& path) {
  plan.extraMembers = extraMembers_;
  if (std::optional<QString> error = writeFileWhole(path, QByteArray::fromStdString(planText(plan)))) return error;
  if (history_) history_->setClean();
  setEntriesEdited(false);
  belongTo(path);
  return std::nullopt;
}

}  // namespace velkarin
