// SPDX-License-Identifier: Apache-2.0
// The look of the calculation windows: geometry, texts, fonts, colours, tab
// order and drop-downs, checked on the real widgets against the design.

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "calc/reaction_data.h"
#include "tests/ui/ui_test_support.h"
#include "ui/calculator/calculation_window.h"
#include "ui/calculator/main_frame.h"

using namespace velkarin;
using namespace velkarin::test;

Q_DECLARE_METATYPE(velkarin::Reaction)

namespace {

// The direct child of window that holds w (a drop-down for its line edit).
QWidget* controlOf(QWidget* w, const QWidget* window) {
  while (w && w->parentWidget() != window) w = w->parentWidget();
  return w;
}

// Whether the widget's picture has a pixel of text colour on its outermost
// rows or columns: a clipped text is cut there.
bool inkOnEdge(QWidget& widget) {
  const QImage picture = widget.grab().toImage();
  const QColor background = widget.palette().color(QPalette::Window);
  const auto ink = [&](int x, int y) {
    const QColor pixel = picture.pixelColor(x, y);
    return qAbs(pixel.lightness() - background.lightness()) > 48;
  };
  for (int x = 0; x < picture.width(); ++x) {
    if (ink(x, 0) || ink(x, picture.height() - 1)) return true;
  }
  for (int y = 0; y < picture.height(); ++y) {
    if (ink(0, y) || ink(picture.width() - 1, y)) return true;
  }
  return false;
}

QString textOf(const QWidget* control) {
  if (auto* label = qobject_cast<const QLabel*>(control)) return label->text();
  if (auto* button = qobject_cast<const QPushButton*>(control)) return button->text();
  return {};
}

}  // namespace

class WindowLayoutUiTest : public FrameTestCase {
  Q_OBJECT

  QWidget* control(Reaction reaction, const QString& name) {
    CalculationWindow* window = frame_->showCalculationWindow(reaction);
    return window->findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
  }

  static void addFormColumn() {
    QTest::addColumn<Reaction>("reaction");
    QTest::newRow("Form1") << Reaction::Cr2O3;
    QTest::newRow("Form2") << Reaction::Cr3O4;
  }

 private slots:
  void controls_sit_at_their_design_geometry_data() {
    QTest::addColumn<Reaction>("reaction");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    const auto both = [](const char* name, QRect geometry) {
      QTest::addRow("Form1 %s", name) << Reaction::Cr2O3 << name << geometry;
      QTest::addRow("Form2 %s", name) << Reaction::Cr3O4 << name << geometry;
    };
    both("Combo1", {636, 12, 109, 27});
    both("Combo2", {832, 12, 109, 27});
    both("Line1", {44, 47, 1089, 3});  // 3 px centred on y = 48
    both("Text3", {136, 64, 93, 27});
    both("Text1", {300, 64, 93, 27});
    both("Text6", {944, 60, 93, 27});
    both("Text7", {476, 124, 93, 27});
    both("Text8", {812, 124, 93, 27});
    both("List1", {8, 188, 1197, 277});
    both("Label13", {616, 16, 17, 17});  // "A="
    both("Label14", {812, 16, 17, 17});  // "B="
    both("Label4", {108, 100, 145, 21});
    both("Label2", {436, 100, 173, 21});
    both("Label5", {964, 100, 65, 21});
    both("Label7", {432, 160, 185, 21});
    both("Label12", {648, 160, 501, 21});
    const auto form = [](Reaction reaction, const char* name, QRect geometry) {
      QTest::addRow("%s %s", reaction == Reaction::Cr2O3 ? "Form1" : "Form2", name) << reaction << name << geometry;
    };
    form(Reaction::Cr2O3, "Label8", {228, 16, 341, 21});
    form(Reaction::Cr2O3, "Label9", {12, 476, 649, 17});
    form(Reaction::Cr2O3, "Label10", {12, 504, 717, 17});
    form(Reaction::Cr2O3, "Label15", {12, 560, 717, 17});
    form(Reaction::Cr2O3, "Command1", {820, 488, 85, 36});
    form(Reaction::Cr2O3, "Command3", {1031, 488, 85, 36});
    form(Reaction::Cr3O4, "Label8", {188, 16, 401, 21});
    form(Reaction::Cr3O4, "Label9", {8, 480, 649, 21});
    form(Reaction::Cr3O4, "Label10", {8, 516, 717, 17});
    form(Reaction::Cr3O4, "Label11", {8, 552, 717, 17});
    form(Reaction::Cr3O4, "Command1", {812, 496, 85, 36});
    form(Reaction::Cr3O4, "Command2", {916, 496, 85, 36});
  }
  void controls_sit_at_their_design_geometry() {
    QFETCH(Reaction, reaction);
    QFETCH(QString, name);
    const QWidget* widget = control(reaction, name);
    QVERIFY(widget);
    QTEST(widget->geometry(), "geometry");
  }

  void no_text_is_clipped_data() { addFormColumn(); }
  // A label's text shows whole in its box: no ink on the box's edge rows
  // and columns. A button's text fits between its bevels.
  void no_text_is_clipped() {
    QFETCH(Reaction, reaction);
    CalculationWindow* window = frame_->showCalculationWindow(reaction);
    int checked = 0;
    for (QWidget* widget : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      const QString text = textOf(widget);
      if (text.isEmpty()) continue;
      ++checked;
      if (qobject_cast<const QLabel*>(widget)) {
        QVERIFY2(!inkOnEdge(*widget), qPrintable(widget->objectName()));
      } else {
        const QFontMetrics metrics(widget->font());
        QVERIFY2(metrics.horizontalAdvance(text) <= widget->width() - 8, qPrintable(widget->objectName()));
        QVERIFY2(metrics.height() <= widget->height(), qPrintable(widget->objectName()));
      }
    }
    QCOMPARE(checked, reaction == Reaction::Cr2O3 ? 18 : 17);  // the labels and the three buttons
  }

  void no_two_controls_overlap_data() { addFormColumn(); }
  void no_two_controls_overlap() {
    QFETCH(Reaction, reaction);
    CalculationWindow* window = frame_->showCalculationWindow(reaction);
    const QList<QWidget*> controls = window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    QCOMPARE(controls.size(), reaction == Reaction::Cr2O3 ? 30 : 29);
    for (qsizetype i = 0; i < controls.size(); ++i) {
      QVERIFY2(window->rect().contains(controls[i]->geometry()), qPrintable(controls[i]->objectName()));
      for (qsizetype j = i + 1; j < controls.size(); ++j) {
        QVERIFY2(!controls[i]->geometry().intersects(controls[j]->geometry()),
                 qPrintable(controls[i]->objectName() + " / " + controls[j]->objectName()));
      }
    }
  }

  void texts_are_the_designed_ones_data() {
    QTest::addColumn<Reaction>("reaction");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("Form1 heading") << Reaction::Cr2O3 << "Label8"
                                   << "3[C]+Cr2O3=2[Cr]+3CO      ΔG=A+BT   ";
    QTest::newRow("Form2 heading") << Reaction::Cr3O4 << "Label8"
                                   << "3[C]+3/4Cr3O4=9/4[Cr]+3CO      ΔG=A+BT   ";
    QTest::newRow("Form1 A=") << Reaction::Cr2O3 << "Label13"
                              << "A=";
    QTest::newRow("Form2 B=") << Reaction::Cr3O4 << "Label14"
                              << "B=";
    QTest::newRow("Form1 Text3 caption") << Reaction::Cr2O3 << "Label4"
                                         << "任意态下的反应自由能变值";
    QTest::newRow("Form2 Text6 caption") << Reaction::Cr3O4 << "Label5"
                                         << "试算次数";
    QTest::newRow("Form2 Text8 caption")
        << Reaction::Cr3O4 << "Label12"
        << "由给定C浓度值计算出来的fc，由此，通过平衡常数计算出来平衡C浓度值，在高碳时误差大。";
    QTest::newRow("Form1 note 4") << Reaction::Cr2O3 << "Label15"
                                  << "4、分压一定，可以计算与此平衡的熔池温度与C浓度的关系；";
    QTest::newRow("Form2 note 2") << Reaction::Cr3O4 << "Label10"
                                  << "2、在t=1650℃，C=0.35,Cr=18下，脱碳要求的最大CO分压为121437Pa。而给定的CO分压为"
                                     "101325Pa<121437，满足脱碳要求，可脱碳。";
    QTest::newRow("Form1 Calculate") << Reaction::Cr2O3 << "Command1"
                                     << "计算";
    QTest::newRow("Form2 Exit") << Reaction::Cr3O4 << "Command2"
                                << "退出";
    QTest::newRow("Form2 Clear list") << Reaction::Cr3O4 << "Command3"
                                      << "清除列表";
  }
  void texts_are_the_designed_ones() {
    QFETCH(Reaction, reaction);
    QFETCH(QString, name);
    const QWidget* widget = control(reaction, name);
    QVERIFY(widget);
    QTEST(textOf(widget), "text");
  }

  void form2_has_no_fourth_note() { QVERIFY(!control(Reaction::Cr3O4, "Label15")); }

  void fonts_follow_the_design_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("pointSize");
    QTest::addColumn<bool>("bold");
    QTest::newRow("heading Label8") << "Label8" << 14.25 << false;
    QTest::newRow("A= Label13") << "Label13" << 14.25 << false;
    QTest::newRow("drop-down Combo1") << "Combo1" << 14.25 << false;
    QTest::newRow("output Text5") << "Text5" << 14.25 << false;
    QTest::newRow("list List1") << "List1" << 14.25 << true;
    QTest::newRow("caption Label6") << "Label6" << 9.0 << false;
    QTest::newRow("button Command3") << "Command3" << 9.0 << false;
  }
  void fonts_follow_the_design() {
    QFETCH(QString, name);
    QFETCH(double, pointSize);
    QFETCH(bool, bold);
    const QWidget* widget = control(Reaction::Cr2O3, name);
    QVERIFY(widget);
    if (qobject_cast<const QLabel*>(widget)) {
      // A label's font steps down from its table size where the installed
      // face is wider than SimSun and the text would not fit its box.
      QVERIFY2(widget->font().pointSizeF() <= pointSize && widget->font().pointSizeF() >= pointSize * 0.5,
               qPrintable(QString::number(widget->font().pointSizeF())));
    } else {
      QCOMPARE(widget->font().pointSizeF(), pointSize);
    }
    QCOMPARE(widget->font().bold(), bold);
    QCOMPARE(widget->font().families().value(0), QStringLiteral("宋体"));
    // The face actually used must show Chinese, and be the Song face where
    // SimSun is missing and Noto Serif CJK is installed.
    const QString family = QFontInfo(widget->font()).family();
    QVERIFY2(QFontDatabase::writingSystems(family).contains(QFontDatabase::SimplifiedChinese), qPrintable(family));
    const QStringList installed = QFontDatabase::families();
    if (!installed.contains("SimSun") && !installed.contains("宋体") && installed.contains("Noto Serif CJK SC")) {
      QCOMPARE(family, QStringLiteral("Noto Serif CJK SC"));
    }
  }

  void colours_follow_the_design() {
    const QWidget* list = control(Reaction::Cr2O3, "List1");
    QCOMPARE(list->palette().color(QPalette::Text), QColor(255, 255, 255));
    QCOMPARE(list->palette().color(QPalette::Base), QColor(0, 0, 0));
    QCOMPARE(control(Reaction::Cr2O3, "Text8")->palette().color(QPalette::Text), QColor(0, 0, 255));
    QVERIFY(control(Reaction::Cr2O3, "Text7")->palette().color(QPalette::Text) != QColor(0, 0, 255));
    QWidget* line = control(Reaction::Cr3O4, "Line1");
    QVERIFY(line->autoFillBackground());
    QCOMPARE(line->palette().color(QPalette::Window), QColor(255, 0, 0));
    // The pixels drawn, not only the palette: the middle of the rule is red.
    const QImage picture = line->grab().toImage();
    QCOMPARE(picture.pixelColor(picture.width() / 2, 1), QColor(255, 0, 0));
  }

  void tab_moves_focus_in_design_order_data() { addFormColumn(); }
  void tab_moves_focus_in_design_order() {
    QFETCH(Reaction, reaction);
    CalculationWindow* window = frame_->showCalculationWindow(reaction);
    QTRY_COMPARE(controlOf(QApplication::focusWidget(), window), button(*window, "Command1"));
    QStringList order{"Command1"};
    for (int i = 0; i < 13; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      const QWidget* focused = controlOf(QApplication::focusWidget(), window);
      order << (focused ? focused->objectName() : QStringLiteral("(outside)"));
    }
    QCOMPARE(order, (QStringList{"Command1", "Command2", "Text3", "List1", "Text1", "Text2", "Text4", "Text5", "Text6",
                                 "Text7", "Command3", "Text8", "Combo2", "Combo1"}));
  }

  void drop_downs_offer_the_presets_data() {
    QTest::addColumn<Reaction>("reaction");
    QTest::addColumn<QStringList>("itemsA");
    QTest::addColumn<QStringList>("itemsB");
    QTest::newRow("Form1") << Reaction::Cr2O3 << QStringList{"739938", "743675", "742046", "678000"}
                           << QStringList{"-475.137", "-477.721", "-474.045", "-441.495"};
    QTest::newRow("Form2") << Reaction::Cr3O4 << QStringList{"697890", "661725", "701934", "704299", "643993"}
                           << QStringList{"-461.535", "-438.852", "-459.13", "-463.803", "-432.314"};
  }
  void drop_downs_offer_the_presets() {
    QFETCH(Reaction, reaction);
    CalculationWindow* window = frame_->showCalculationWindow(reaction);
    const ReactionData& data = reactionData(reaction);
    for (const char* name : {"Combo1", "Combo2"}) {
      const QComboBox* box = combo(*window, name);
      QVERIFY(box->isEditable());
      QCOMPARE(box->insertPolicy(), QComboBox::NoInsert);
      QStringList items;
      for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
      const bool isA = QByteArray(name) == "Combo1";
      QTEST(items, isA ? "itemsA" : "itemsB");
      QCOMPARE(box->currentText(), items.first());
      const std::string_view tooltip = isA ? data.tooltipA : data.tooltipB;
      QCOMPARE(box->toolTip(), QString::fromUtf8(tooltip.data(), qsizetype(tooltip.size())));
    }
    QVERIFY(combo(*window, "Combo1")->toolTip().startsWith(QStringLiteral("第一行为")));
  }

  void output_boxes_are_read_only_but_selectable_data() { addFormColumn(); }
  void output_boxes_are_read_only_but_selectable() {
    QFETCH(Reaction, reaction);
    CalculationWindow* window = frame_->showCalculationWindow(reaction);
    for (int number = 1; number <= 8; ++number) {
      QLineEdit* box = textBox(*window, number);
      QVERIFY(box);
      QVERIFY(box->isReadOnly());
      QVERIFY(box->focusPolicy() & Qt::TabFocus);
      box->setText(QStringLiteral("0.326346"));  // as the calculation would
      box->selectAll();
      QCOMPARE(box->selectedText(), QStringLiteral("0.326346"));
    }
  }
};

QTEST_MAIN(WindowLayoutUiTest)
#include "window_layout_ui_test.moc"
