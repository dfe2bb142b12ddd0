// SPDX-License-Identifier: Apache-2.0
// The diagram's plan as a document: shown and read back as typed, saved
// whole or not at all, opened from the menu, a drop or a refused file, the
// question before a changed plan is given up, spreadsheet rows pasted, the
// saved stage CSV that velkarin-curve recomputes to the same figures.

#include <sys/resource.h>
#include <sys/stat.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUndoStack>
#include <QUrl>
#include <csignal>
#include <sstream>

#include "calc/plan.h"
#include "cli/curve_command.h"
#include "tests/ui/diagram_test_support.h"
#include "ui/calculator/main_frame.h"
#include "ui/calculator/plan_menu.h"
#include "ui/diagram/stage_table.h"

using namespace velkarin;
using namespace velkarin::test;

namespace {

// Writes beyond `bytes` fail with EFBIG while alive (SIGXFSZ ignored): a disk
// that fills during a save.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &before_);
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = before_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &before_);
    std::signal(SIGXFSZ, previous_);
  }

 private:
  rlimit before_{};
  void (*previous_)(int) = nullptr;
};

}  // namespace

class PlanDocumentUiTest : public DiagramTestCase {
  Q_OBJECT

 private slots:
  // Every member shows in its control and reads back as typed; saved and
  // opened again it is the same plan, named in the title.
  void a_plan_reads_back_saves_and_opens_as_typed() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    const Plan plan = shiftPlan();
    diagram->setPlan(plan);
    QCOMPARE(diagram->plan(), plan);
    QVERIFY(!diagram->isWindowModified());
    QCOMPARE(diagram->stageTable()->undoStack()->count(), 0);
    QCOMPARE(entry(*diagram, "note")->text(), QStringLiteral("第2炉 早班"));
    QCOMPARE(diagram->reaction(), Reaction::Cr3O4);
    QCOMPARE(diagram->stageResults().size(), 3u);

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("早班.velkarin"));
    QVERIFY(!diagram->savePlanFile(path));
    QCOMPARE(fileBytes(path), QByteArray::fromStdString(planText(plan)));
    QCOMPARE(subWindowOf(diagram)->windowTitle(), QStringLiteral("平衡曲线图 - 早班.velkarin[*]"));
    QVERIFY(!subWindowOf(diagram)->isWindowModified());
    QTest::keyClicks(entry(*diagram, "note"), QStringLiteral("!"));
    QVERIFY(diagram->isWindowModified());
    QVERIFY(subWindowOf(diagram)->isWindowModified());  // the title bar's mark

    diagram->setPlan(Plan());
    QVERIFY(!diagram->openPlanFile(path));
    QCOMPARE(diagram->plan(), plan);
    QCOMPARE(diagram->planPath(), QFileInfo(path).absoluteFilePath());
    // Typed texts that are no numbers stay as typed, the other oxide's too.
    Plan odd = plan;
    odd.otherConstants = {"abc", ""};
    odd.composition.chromium = "x";
    diagram->setPlan(odd);
    QCOMPARE(diagram->plan(), odd);
  }

  // A save that cannot be completed leaves the old file whole, and no
  // temporary file behind.
  void a_failed_save_keeps_the_old_file() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    diagram->setPlan(shiftPlan());
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("plan.velkarin"));
    QVERIFY(!diagram->savePlanFile(path));
    const QByteArray before = fileBytes(path);
    Plan longer = shiftPlan();
    longer.note = std::string(4000, 'x');
    diagram->setPlan(longer);
    std::optional<QString> error;
    {
      const FileSizeLimit limit(static_cast<rlim_t>(before.size()) / 2);  // less than either file
      error = diagram->savePlanFile(path);
    }
    QVERIFY(error.has_value());
    QCOMPARE(fileBytes(path), before);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("plan.velkarin")});
    QVERIFY(diagram->savePlanFile(folder.filePath(QStringLiteral("missing/plan.velkarin"))).has_value());
  }

  // Refused files name what and where; the plan shown stays.
  // A save to a device or FIFO writes through it in place, reports the
  // device's own error, and never waits for a reader that is not there.
  void a_save_to_a_device_or_fifo_keeps_the_node() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    diagram->setPlan(shiftPlan());
    QTemporaryDir folder;
    const QByteArray fifo = QFile::encodeName(folder.filePath(QStringLiteral("plan.fifo")));
    QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
    const std::optional<QString> unread = diagram->savePlanFile(QString::fromLocal8Bit(fifo));
    QCOMPARE(unread.value_or(QString()), QStringLiteral("没有程序在读取这个管道"));
    struct stat status {};
    QVERIFY(::stat(fifo.constData(), &status) == 0 && S_ISFIFO(status.st_mode));
    QCOMPARE(diagram->savePlanFile(QStringLiteral("/dev/full")).value_or(QString()),
             QStringLiteral("No space left on device"));
    QVERIFY(::stat("/dev/full", &status) == 0 && S_ISCHR(status.st_mode));
    QVERIFY(!diagram->savePlanFile(QStringLiteral("/dev/null")));
    // A FIFO is no plan to open: refused at once, not waited on.
    QCOMPARE(diagram->openPlanFile(QString::fromLocal8Bit(fifo)).value_or(QString()), QStringLiteral("不是普通文件"));
  }

  void refused_files_say_what_and_where_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("broken") << QByteArray("{\"format\": \"velkarin-plan\",\n\"version\": 1,\n\"A\": }")
                            << QStringLiteral("第3行第6列不是有效的JSON");
    QTest::newRow("other") << QByteArray("{\"format\": \"csv\"}") << QStringLiteral("不是Velkarin方案文件");
    QTest::newRow("newer") << QByteArray(R"({"format":"velkarin-plan","version":2})")
                           << QStringLiteral("版本2比本程序能读的版本1新");
    QTest::newRow("member") << QByteArray(R"({"format":"velkarin-plan","version":1,"stages":[{"t":[]}]})")
                            << QStringLiteral("成员“stages/1/t”应为a text");
  }
  void refused_files_say_what_and_where() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    EquilibriumDiagramWindow* diagram = openDiagram();
    diagram->setPlan(shiftPlan());
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("bad.velkarin"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    const std::optional<QString> error = diagram->openPlanFile(path);
    QVERIFY(error.has_value());
    QVERIFY2(error->contains(message), qPrintable(*error));
    QCOMPARE(diagram->plan(), shiftPlan());
    QVERIFY(diagram->planPath().isEmpty());
  }

  // Closing a changed plan: 取消 keeps it, 保存 writes it and closes;
  // opening another over a changed plan asks the same.
  void closing_or_replacing_a_changed_plan_asks_to_save() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("plan.velkarin"));
    const QString other = folder.filePath(QStringLiteral("other.velkarin"));
    diagram->setPlan(shiftPlan());
    QVERIFY(!diagram->savePlanFile(path));
    QVERIFY(!diagram->savePlanFile(other));
    QVERIFY(!diagram->openPlanFile(path));
    QTest::keyClicks(entry(*diagram, "target"), QStringLiteral("5"));

    answerQuestionWith(QStringLiteral("取消"));
    QVERIFY(!frame_->openPlan(other));
    QCOMPARE(diagram->plan().target, std::string("0.035"));
    answerQuestionWith(QStringLiteral("取消"));
    subWindowOf(diagram)->close();
    QTest::qWait(50);
    QVERIFY(frame_->diagramWindow());
    answerQuestionWith(QStringLiteral("保存"));
    subWindowOf(diagram)->close();
    QTRY_VERIFY(!frame_->diagramWindow());
    const auto saved = readPlanText(fileBytes(path).toStdString());
    QVERIFY(std::holds_alternative<Plan>(saved));
    QCOMPARE(std::get<Plan>(saved).target, std::string("0.035"));
  }

  // Every way out of the program asks once about a changed plan, says that
  // imported heats go with the window, and 取消 keeps the program running.
  void every_way_out_asks_once_for_a_changed_plan_data() {
    QTest::addColumn<int>("way");
    QTest::newRow("menu item 退出") << 0;
    QTest::newRow("frame close button") << 1;
    QTest::newRow("Ctrl+Q") << 2;
  }
  void every_way_out_asks_once_for_a_changed_plan() {
    QFETCH(int, way);
    EquilibriumDiagramWindow* diagram = openDiagram();
    QTemporaryDir folder;
    const QString heats = folder.filePath(QStringLiteral("heats.csv"));
    QFile csv(heats);
    QVERIFY(csv.open(QIODevice::WriteOnly));
    csv.write("reaction,A,B,t,C,Cr,Ni,Si,Mn,pCO\nCr2O3,,,1600,0.2,18,9,0,0,101325\n");
    csv.close();
    QVERIFY(!diagram->importHeats(heats));
    frame_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
    entry(*diagram, "target")->setFocus();
    QTest::keyClicks(entry(*diagram, "target"), QStringLiteral("0.05"));
    QVERIFY(diagram->isWindowModified());
    const auto leave = [&] {
      // The offscreen platform leaves no window active after a dialog; a
      // window manager gives the activation back to the frame.
      frame_->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
      if (way == 0) frame_->findChild<QAction*>(QStringLiteral("退出"))->trigger();
      if (way == 1) frame_->close();
      if (way == 2)
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : diagram, Qt::Key_Q,
                        Qt::ControlModifier);
    };
    QStringList asked;
    const auto answer = [&](const QString& button) {
      auto* timer = new QTimer(frame_.get());
      timer->setInterval(10);
      connect(timer, &QTimer::timeout, timer, [timer, button, &asked] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        asked << box->text();
        for (QAbstractButton* choice : box->buttons()) {
          if (choice->text() == button) choice->click();
        }
        timer->stop();
      });
      timer->start();
    };
    answer(QStringLiteral("取消"));
    leave();
    QTRY_COMPARE(asked.size(), 1);
    QVERIFY2(asked[0].contains(QStringLiteral("炉次数据")), qPrintable(asked[0]));
    QTest::qWait(50);
    QVERIFY(frame_->isVisible());
    QVERIFY(frame_->diagramWindow());

    answer(QStringLiteral("不保存"));
    leave();
    QTRY_VERIFY(!frame_->isVisible());
    QTest::qWait(50);
    QCOMPARE(asked.size(), 2);  // once for the plan: the diagram's own close does not ask again
  }

  // A plan file dropped on the frame opens in the diagram.
  void a_dropped_plan_opens() {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("dropped.velkarin"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromStdString(planText(shiftPlan())));
    file.close();
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame_.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame_.get(), &drop);
    QVERIFY(frame_->diagramWindow());
    QCOMPARE(frame_->diagramWindow()->plan(), shiftPlan());
    // A CSV of heats dropped on the frame is imported into the diagram.
    QFile heats(folder.filePath(QStringLiteral("heats.csv")));
    QVERIFY(heats.open(QIODevice::WriteOnly));
    heats.write("reaction,t,C,Cr,Ni,Si,Mn,pCO\nCr2O3,1600,0.4,18,9,0,0,86850\n");
    heats.close();
    QMimeData csv;
    csv.setUrls({QUrl::fromLocalFile(heats.fileName())});
    QDragEnterEvent enterCsv(QPoint(10, 10), Qt::CopyAction, &csv, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame_.get(), &enterCsv);  // a drop goes to where the drag was taken
    QVERIFY(enterCsv.isAccepted());
    QDropEvent dropCsv(QPointF(10, 10), Qt::CopyAction, &csv, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame_.get(), &dropCsv);
    QTRY_COMPARE(frame_->diagramWindow()->plantHeats().size(), 1u);
    QMimeData text;
    text.setUrls({QUrl::fromLocalFile(folder.filePath(QStringLiteral("notes.txt")))});
    QDragEnterEvent other(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    other.ignore();
    QApplication::sendEvent(frame_.get(), &other);
    QVERIFY(!other.isAccepted());
  }

  // Ctrl+V puts a spreadsheet's rows (with or without header, with O2) and
  // the table's own copy in after the current stage, as one undoable step.
  void pasted_rows_become_stages() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    StageTable* stages = diagram->stageTable();
    stages->insertStage(0, {"3:1", "1600", "0.60", ""});
    stages->table()->setFocus();
    QTRY_VERIFY(stages->table()->hasFocus());
    QGuiApplication::clipboard()->setText(
        QStringLiteral("gas\tt\tC\tO2\r\n1:1\t1680\t0.15\t300\r\n1:3\t 1720 \t0.04\r\n\r\n"));
    QTest::keyClick(stages->table(), Qt::Key_V, Qt::ControlModifier);
    const std::vector<BlowStage> three{
        {"3:1", "1600", "0.60", ""}, {"1:1", "1680", "0.15", "300"}, {"1:3", "1720", "0.04", ""}};
    QCOMPARE(stages->stages(), three);
    stages->undoStack()->undo();
    QCOMPARE(stages->stages().size(), 1u);
    stages->undoStack()->redo();
    QCOMPARE(stages->stages(), three);

    stages->table()->setCurrentCell(2, StageTable::Gas);
    QCOMPARE(stages->pasteStages(stages->tsv()), 3);  // its own copy: 阶段 first, no O2
    QCOMPARE(stages->stages().size(), 6u);
    QCOMPARE(stages->stages()[4], (BlowStage{"1:1", "1680", "0.15", ""}));
    QCOMPARE(stages->pasteStages(QStringLiteral("1:2\t1700")), 1);  // no header, two cells
    stages->table()->setCurrentCell(0, StageTable::Measured);
    QCOMPARE(stages->pasteStages(QStringLiteral("0.55")), 0);  // one value: into the cell
    QCOMPARE(stages->stages()[0].measuredCarbon, std::string("0.55"));
  }

  // The saved stage CSV carries its conditions: velkarin-curve --stages on
  // it prints the window's own table, not figures under default conditions.
  void the_saved_stage_csv_recomputes_to_the_windows_figures() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    Plan plan = shiftPlan();
    plan.target.clear();
    diagram->setPlan(plan);
    QTemporaryDir folder;
    const QString csv = folder.filePath(QStringLiteral("stages.csv"));
    QVERIFY(!diagram->stageTable()->writeCsv(csv));
    std::ostringstream out, err;
    const std::vector<std::string> args{"--stages", csv.toStdString()};
    QCOMPARE(runCurveCommand(args, out, err), 0);
    QCOMPARE(QString::fromStdString(out.str()), diagram->stageTable()->tsv());
    QCOMPARE(QString::fromStdString(err.str()), QString());
  }

  // Plans saved and opened are listed newest first, once each, without the
  // files gone since; the frame's title names the plan shown.
  void recent_plans_follow_saving_and_opening() {
    QSettings().remove(QStringLiteral("recentPlans"));
    EquilibriumDiagramWindow* diagram = openDiagram();
    QTemporaryDir folder;
    QStringList paths;
    for (const char* name : {"a.velkarin", "b.velkarin", "c.velkarin"}) {
      paths << QFileInfo(folder.filePath(QString::fromUtf8(name))).absoluteFilePath();
      QVERIFY(!diagram->savePlanFile(paths.back()));
    }
    QCOMPARE(frame_->windowTitle(), QStringLiteral("MDIForm1 - c.velkarin"));
    QVERIFY(!diagram->openPlanFile(paths[0]));
    QCOMPARE(PlanMenu::recentPlans(), (QStringList{paths[0], paths[2], paths[1]}));
    QFile::remove(paths[2]);
    QCOMPARE(PlanMenu::recentPlans(), (QStringList{paths[0], paths[1]}));
    auto* menu = frame_->findChild<QMenu*>(QStringLiteral("打开最近的方案"));
    QVERIFY(menu);
    emit menu->aboutToShow();
    QCOMPARE(menu->actions().size(), 2);
    menu->actions()[1]->trigger();  // b.velkarin
    QCOMPARE(diagram->planPath(), paths[1]);
    QCOMPARE(frame_->windowTitle(), QStringLiteral("MDIForm1 - b.velkarin"));
    QSettings().remove(QStringLiteral("recentPlans"));
  }
};

QTEST_MAIN(PlanDocumentUiTest)
#include "plan_document_ui_test.moc"
