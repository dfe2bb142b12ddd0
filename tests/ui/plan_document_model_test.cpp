// SPDX-License-Identifier: Apache-2.0
// The plan document alone, without a window: every edit a step of its undo
// history, modified exactly while the history is away from its clean index,
// so undoing back to the saved plan leaves nothing to save; open and save
// through the one reader and writer, the file's unknown members kept, the
// reasons in Chinese.

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

QByteArray fileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class PlanDocumentModelTest : public QObject {
  Q_OBJECT

 private slots:
  // Every edit is one undoable step on the plan; typing into one entry is
  // one step, and typing it back is none; undoing to the plan as opened or
  // saved leaves nothing modified.
  void edits_are_steps_on_the_plan_and_undo_to_clean_is_not_modified() {
    PlanDocument document;
    QUndoStack& history = document.history();
    QSignalSpy modified(&document, &PlanDocument::modifiedChanged);
    QSignalSpy entries(&document, &PlanDocument::entryChanged);
    for (const char* typed : {"1", "16", "160", "1600"}) document.editEntry("heat/startTemperature", typed);
    QCOMPARE(history.count(), 1);
    QCOMPARE(document.plan().heat.startTemperature, std::string("1600"));
    QCOMPARE(entries.size(), 4);
    QVERIFY(document.isModified());
    for (const char* typed : {"160", "16", "1", ""}) document.editEntry("heat/startTemperature", typed);
    QCOMPARE(history.count(), 0);  // back to what it was: no step at all
    QVERIFY(!document.isModified());
    QCOMPARE(modified.size(), 2);

    document.editEntry("composition/Cr", "17");
    document.editEntry("note", "第2炉");
    document.editEntry("reaction", "Cr9O9");  // not one of its values: refused
    document.editEntry("colour", "red");      // no such entry: refused
    document.editEntry("bothOxides", "yes");  // nor this
    QCOMPARE(history.count(), 2);
    QCOMPARE(document.plan().note, std::string("第2炉"));
    history.undo();
    history.undo();
    QCOMPARE(document.plan(), Plan());
    QVERIFY(!document.isModified());
    history.redo();
    QVERIFY(document.isModified());
    QTemporaryDir folder;
    QVERIFY(!document.save(folder.filePath(QStringLiteral("a.velkarin"))));
    QVERIFY(!document.isModified());
    history.undo();  // away from the saved plan
    QVERIFY(document.isModified());
    document.reset(Plan());
    QVERIFY(!document.isModified());
    QCOMPARE(history.count(), 0);
  }

  // Inserts, removes, moves and cell edits of the stages, each undone in turn
  // back to the plan as it was; a step of several edits is one undo, an
  // empty step none.
  void stage_edits_undo_in_turn_and_steps_group_them() {
    PlanDocument document;
    QUndoStack& history = document.history();
    QSignalSpy inserted(&document, &PlanDocument::stageInserted);
    document.insertStage(0, {"3:1", "1600", "0.60"});
    document.insertStage(99, {"1:1", "1650", "0.20"});  // past the end: appended
    document.moveStage(0, 1);
    document.moveStage(1, 5);  // no such row: nothing
    document.setStageText(0, 1, "1660");
    document.setStageText(0, 1, "1660");  // the same text: no step
    document.setStageText(7, 1, "1");     // no such row: nothing
    document.removeStage(1);
    QCOMPARE(inserted.size(), 2);
    QCOMPARE(history.count(), 5);
    QCOMPARE(document.plan().stages.size(), std::size_t(1));
    QCOMPARE(document.plan().stages[0].gas, std::string("1:1"));
    QCOMPARE(document.plan().stages[0].temperature, std::string("1660"));
    const std::vector<std::vector<std::string>> back{
        {"1:1", "3:1"},  // the removed stage is back
        {"1:1", "3:1"},  // its temperature as typed first
        {"3:1", "1:1"},  // the move undone
        {"3:1"},        {},
    };
    for (const std::vector<std::string>& gases : back) {
      history.undo();
      std::vector<std::string> shown;
      for (const BlowStage& stage : document.plan().stages) shown.push_back(stage.gas);
      QCOMPARE(shown, gases);
    }
    QCOMPARE(document.plan().stages.size(), std::size_t(0));
    QVERIFY(!document.isModified());

    document.beginStep(QStringLiteral("粘贴阶段"));
    for (int i = 0; i < 3; ++i) document.insertStage(0, {});
    document.endStep();
    document.beginStep(QStringLiteral("清除"));
    document.setStageText(0, 0, "");  // already empty: the step stays empty
    document.endStep();
    QCOMPARE(history.count(), 1);
    history.undo();
    QVERIFY(document.plan().stages.empty());
  }

  // An opened plan's other oxide's A and B are its own until another
  // reaction is shown; undoing the switch makes them its own again.
  void switching_the_reaction_gives_up_the_plans_other_oxide() {
    Plan opened;
    opened.otherConstants = {"1", "2"};
    PlanDocument document;
    document.reset(opened);
    QVERIFY(document.ownOther());
    document.editEntries({{"reaction", "Cr3O4"}, {"A", "5"}, {"B", "6"}}, QStringLiteral("反应"));
    QCOMPARE(document.history().count(), 1);
    QVERIFY(!document.ownOther());
    QCOMPARE(document.plan().reaction, Reaction::Cr3O4);
    document.setOtherConstants({"9", "9"});  // as the session does from the other oxide's window
    document.history().undo();
    QVERIFY(document.ownOther());
    QCOMPARE(document.plan(), opened);
    PlanDocument fresh;
    fresh.reset(Plan(), false);  // a new diagram: the calculation window's
    QVERIFY(!fresh.ownOther());
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
    const QString path = folder.filePath(QStringLiteral("早班.velkarin"));
    QVERIFY(!document.save(path));
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
    QVERIFY(document.save(folder.filePath(QStringLiteral("no/such/folder.velkarin"))));
    QCOMPARE(document.path(), QString());  // a failed save leaves the document where it was
  }
};

QTEST_GUILESS_MAIN(PlanDocumentModelTest)
#include "plan_document_model_test.moc"
