// SPDX-License-Identifier: Apache-2.0
// The plan document alone, without a window: modified while an entry was
// edited or the undo history is away from its clean index, so undoing back
// to the saved plan leaves nothing to save; open and save through the one
// reader and writer, the file's unknown members kept, the reasons in Chinese.

#include <sys/stat.h>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include "calc/plan.h"
#include "ui/model/plan_document.h"

using namespace velkarin;

namespace {

// A stand-in for a stage edit: the document only counts the history.
class Step final : public QUndoCommand {
 public:
  void redo() override {}
  void undo() override {}
};

QByteArray fileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class PlanDocumentModelTest : public QObject {
  Q_OBJECT

 private slots:
  void undo_to_clean_is_not_modified_and_entries_stay_modified_until_saved() {
    PlanDocument document;
    QUndoStack history;
    document.watch(history);
    QSignalSpy modified(&document, &PlanDocument::modifiedChanged);
    QVERIFY(!document.isModified());
    history.push(new Step);
    history.push(new Step);
    QVERIFY(document.isModified());
    history.undo();
    QVERIFY(document.isModified());
    history.undo();
    QVERIFY(!document.isModified());  // back at the plan as opened
    QCOMPARE(modified.size(), 2);
    document.entryEdited();  // not in the history: only a save or an open clears it
    QVERIFY(document.isModified());
    history.push(new Step);
    history.undo();
    QVERIFY(document.isModified());
    QTemporaryDir folder;
    QVERIFY(!document.save(Plan(), folder.filePath(QStringLiteral("a.velkarin"))));
    QVERIFY(!document.isModified());
    history.redo();  // away from the clean index again
    QVERIFY(document.isModified());
    document.reset(Plan());
    QVERIFY(!document.isModified());
    QCOMPARE(history.count(), 0);
  }

  // A plan read back equals the one saved, its unknown members kept; the
  // document belongs to the file it saved to.
  void save_and_read_keep_the_plan_and_its_unknown_members() {
    QTemporaryDir folder;
    Plan opened;
    opened.note = "第2炉";
    opened.stages = {{"3:1", "1600", "0.60"}};
    opened.extraMembers = {{"shift", "\"B\""}};
    PlanDocument document;
    QSignalSpy paths(&document, &PlanDocument::pathChanged);
    document.reset(opened);
    QCOMPARE(document.fileName(), QStringLiteral("方案"));
    Plan shown = opened;
    shown.extraMembers.clear();  // the widgets do not hold them; the document does
    const QString path = folder.filePath(QStringLiteral("早班.velkarin"));
    QVERIFY(!document.save(shown, path));
    QCOMPARE(document.path(), path);
    QCOMPARE(document.fileName(), QStringLiteral("早班.velkarin"));
    QCOMPARE(paths.size(), 1);
    QCOMPARE(fileBytes(path), QByteArray::fromStdString(planText(opened)));
    const auto read = PlanDocument::read(path);
    QVERIFY(std::holds_alternative<Plan>(read));
    QCOMPARE(std::get<Plan>(read), opened);
  }

  void files_that_are_no_plan_say_why_in_chinese_data() {
    QTest::addColumn<QByteArray>("bytes");  // empty: a FIFO instead of a file
    QTest::addColumn<QString>("reason");
    QTest::newRow("broken JSON") << QByteArray("{\"format\":") << QStringLiteral("第1行");
    QTest::newRow("not a plan") << QByteArray("{\"format\": \"x\", \"version\": 1}")
                                << QStringLiteral("不是Velkarin方案文件");
    QTest::newRow("newer") << QByteArray("{\"format\": \"velkarin-plan\", \"version\": 99}")
                           << QStringLiteral("比本程序能读的版本1新");
    QTest::newRow("a FIFO") << QByteArray() << QStringLiteral("不是普通文件");
  }
  void files_that_are_no_plan_say_why_in_chinese() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("x.velkarin"));
    if (bytes.isEmpty()) {
      QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else {
      QFile file(path);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(bytes);
    }
    const auto read = PlanDocument::read(path);
    QVERIFY(std::holds_alternative<QString>(read));
    QVERIFY2(std::get<QString>(read).contains(reason), qPrintable(std::get<QString>(read)));
    PlanDocument document;
    QVERIFY(document.save(Plan(), folder.filePath(QStringLiteral("no/such/folder.velkarin"))));
    QCOMPARE(document.path(), QString());  // a failed save leaves the document where it was
  }
};

QTEST_GUILESS_MAIN(PlanDocumentModelTest)
#include "plan_document_model_test.moc"
