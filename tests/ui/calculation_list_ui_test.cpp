// SPDX-License-Identifier: Apache-2.0
// The result list and the drop-downs of a calculation window: the list's
// menu (copy all, save as text or CSV), typed and picked constants, each
// window's own results and Clear list.

#include <sys/resource.h>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <atomic>
#include <chrono>
#include <csignal>
#include <memory>
#include <thread>

#include "calc/calculation.h"
#include "calc/result_presentation.h"
#include "tests/support/recording.h"
#include "tests/ui/ui_test_support.h"
#include "ui/calculator/calculation_window.h"
#include "ui/calculator/main_frame.h"
#include "ui/calculator/widget_result_sink.h"
#include "ui/common/qt_translation.h"

using namespace velkarin;
using namespace velkarin::test;

class CalculationListUiTest : public FrameTestCase {
  Q_OBJECT

  CalculationWindow* show(Reaction reaction) { return frame_->showCalculationWindow(reaction); }

 private slots:
  // The list's right-click menu: 复制全部 copies every line; 保存为… writes
  // them as text or as CSV; a file that cannot be written is reported.
  void list_menu_copies_and_saves_all_lines() {
    CalculationWindow* window = show(Reaction::Cr2O3);
    fillWithWorkedExample(window);
    {
      DialogDriver driver(keepDefaults());
      clickCalculate(*window, driver);
    }
    const QStringList lines = listLines(*window);
    QCOMPARE(lines.size(), 2);
    QListWidget* list = resultList(*window);
    QCOMPARE(list->contextMenuPolicy(), Qt::ActionsContextMenu);
    QStringList items;
    for (const QAction* action : list->actions()) items << action->text();
    QCOMPARE(items, (QStringList{QStringLiteral("复制全部"), QStringLiteral("保存为…")}));

    list->findChild<QAction*>(QStringLiteral("copyAllLines"))->trigger();
    QCOMPARE(clipboardText(), lines.join(QLatin1Char('\n')));

    const QString folder = QDir::tempPath() + QStringLiteral("/velkarin-list-test");
    QDir(folder).removeRecursively();
    QVERIFY(QDir().mkpath(folder));
    struct Save {
      QString path;
      QByteArray expected;
    };
    const QByteArray text = (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    const QByteArray csv = QByteArray("\xEF\xBB\xBF") +
                           QByteArray::fromStdString(resultListCsv({lines[0].toStdString(), lines[1].toStdString()}));
    for (const Save& save :
         {Save{folder + QStringLiteral("/list.txt"), text}, Save{folder + QStringLiteral("/list.csv"), csv}}) {
      DialogDriver driver;
      driver.saveAs(save.path);
      list->findChild<QAction*>(QStringLiteral("saveLines"))->trigger();
      QFile file(save.path);
      QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(save.path));
      QCOMPARE(file.readAll(), save.expected);
      QCOMPARE(driver.seen(SeenDialog::Kind::Critical).size(), 0);
    }

    // A file size limit of 0 bytes makes every write fail (EFBIG), as a full disk would.
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit none{0, limit.rlim_max};
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    DialogDriver driver;
    driver.saveAs(folder + QStringLiteral("/full.txt"));
    setrlimit(RLIMIT_FSIZE, &none);
    list->findChild<QAction*>(QStringLiteral("saveLines"))->trigger();
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previous);
    QVERIFY(!QFile::exists(folder + QStringLiteral("/full.txt")));
    const QList<SeenDialog> errors = driver.seen(SeenDialog::Kind::Critical);
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].text.startsWith(QStringLiteral("无法保存文件")), qPrintable(errors[0].text));
    QCOMPARE(listLines(*window), lines);
  }

  void typed_constant_is_used_and_not_added_to_the_items() {
    CalculationWindow* window = show(Reaction::Cr2O3);
    QComboBox* constantA = combo(*window, "Combo1");
    constantA->lineEdit()->selectAll();
    QTest::keyClicks(constantA->lineEdit(), "740000");
    QTest::keyClick(constantA->lineEdit(), Qt::Key_Return);
    QCOMPARE(constantA->count(), 4);
    QCOMPARE(constantA->currentText(), QStringLiteral("740000"));

    DialogDriver driver(keepDefaults());
    clickCalculate(*window, driver);

    const auto core = coreRun(Reaction::Cr2O3, {"740000", "-475.137"}, keepDefaults());
    QCOMPARE(boxTexts(*window), afterRun(QStringList(8), core->sink));
    QVERIFY(boxTexts(*window)[2] != QStringLiteral("-137074"));  // not the preset's ΔG
    QCOMPARE(constantA->count(), 4);
  }

  void picked_preset_changes_only_its_own_drop_down() {
    CalculationWindow* window = show(Reaction::Cr3O4);
    combo(*window, "Combo1")->setCurrentIndex(2);
    QCOMPARE(combo(*window, "Combo1")->currentText(), QStringLiteral("701934"));
    QCOMPARE(combo(*window, "Combo2")->currentText(), QStringLiteral("-461.535"));

    DialogDriver driver(keepDefaults());
    clickCalculate(*window, driver);

    const auto core = coreRun(Reaction::Cr3O4, {"701934", "-461.535"}, keepDefaults());
    QCOMPARE(boxTexts(*window), afterRun(QStringList(8), core->sink));
  }

  void each_window_shows_only_its_own_results() {
    CalculationWindow* form1 = show(Reaction::Cr2O3);
    fillWithWorkedExample(form1);
    const QStringList form1Boxes = boxTexts(*form1);
    CalculationWindow* form2 = show(Reaction::Cr3O4);

    DialogDriver driver(keepDefaults());
    clickCalculate(*form2, driver);

    QCOMPARE(boxTexts(*form1), form1Boxes);
    QCOMPARE(listLines(*form1).size(), 1);
    QCOMPARE(listLines(*form2).size(), 1);
    QCOMPARE(boxTexts(*form2)[0], QStringLiteral("1626"));
  }

  void clear_list_empties_only_this_windows_list() {
    CalculationWindow* form1 = show(Reaction::Cr2O3);
    fillWithWorkedExample(form1);
    CalculationWindow* form2 = show(Reaction::Cr3O4);
    fillWithWorkedExample(form2);
    const QStringList form1Boxes = boxTexts(*form1);

    DialogDriver driver;  // no dialog may appear
    QTest::mouseClick(button(*form1, "Command3"), Qt::LeftButton);
    QCOMPARE(listLines(*form1), QStringList());
    QCOMPARE(boxTexts(*form1), form1Boxes);
    QCOMPARE(listLines(*form2).size(), 1);

    QTest::mouseClick(button(*form1, "Command3"), Qt::LeftButton);  // on an empty list
    QCOMPARE(listLines(*form1), QStringList());
    QCOMPARE(driver.seen().size(), 0);
  }
};

QTEST_MAIN(CalculationListUiTest)
#include "calculation_list_ui_test.moc"
