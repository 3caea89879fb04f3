// The windows driven from the keyboard alone: where the focus is at start and when a dialog
// opens, the order Tab visits each tab and dialog in, Escape closing a dialog from any of
// its fields, the release notes reached and scrolled, and a focus ring that can be seen.
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

#include "airflow.h"
#include "facts.h"
#include "main_window.h"
#include "temperature.h"
#include "tool_dialog_test_support.h"
#include "vram.h"
#include "window_test_support.h"

using freqsmith::MainWindow;
using namespace freqsmith::testing;

namespace {

// The focused control's name; the tab strip goes by its tab control's.
QString focusName() {
  QWidget* focus = QApplication::focusWidget();
  if (!focus) return QStringLiteral("(nothing)");
  if (auto* strip = qobject_cast<QTabBar*>(focus)) return strip->parentWidget()->objectName();
  return focus->objectName();
}

// The focused control's name after each Tab, until the focus is back where it was.
QStringList tabRound() {
  const QString start = focusName();
  QStringList visited{start};
  for (int i = 0; i < 200; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    visited << focusName();
    if (visited.back() == start) break;
  }
  return visited;
}

QWidget* shownDialog() {
  return QApplication::activeModalWidget();
}

// Relative luminance, as the contrast of two colours is measured for the web's guidelines.
double luminance(QRgb rgb) {
  const auto channel = [](int value) {
    const double c = value / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) + 0.0722 * channel(qBlue(rgb));
}

double contrast(QRgb a, QRgb b) {
  const double la = luminance(a);
  const double lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Whether focusing drew a closed ring at least two pixels wide that stands out at least
// 3 : 1 in contrast from what it covers, at the edge of what changed or within a pixel of it
// (a field's ring lies inside its one-pixel frame). A frame's rounded corners may take a
// few of its pixels.
bool showsAFocusRing(const QImage& before, const QImage& after, QString* why) {
  if (before.size() != after.size()) {
    *why = QStringLiteral("the control changed its size");
    return false;
  }
  const auto changed = [&](int x, int y) {
    return contrast(before.pixel(x, y), after.pixel(x, y)) >= 3.0;
  };
  QRect area;
  for (int y = 0; y < after.height(); ++y) {
    for (int x = 0; x < after.width(); ++x) {
      if (changed(x, y)) area |= QRect(x, y, 1, 1);
    }
  }
  if (area.width() < 8 || area.height() < 8) {
    *why = QStringLiteral("no outline that stands out");
    return false;
  }
  // Whether the outline of a rectangle inside the changed area, `inset` pixels in, changed
  // all but its corners.
  const auto whole = [&](int inset) {
    const QRect r = area.adjusted(inset, inset, -inset, -inset);
    int missing = 0;
    for (int x = r.left(); x <= r.right(); ++x)
      missing += !changed(x, r.top()) + !changed(x, r.bottom());
    for (int y = r.top(); y <= r.bottom(); ++y)
      missing += !changed(r.left(), y) + !changed(r.right(), y);
    constexpr int kCorners = 4 * 2;
    return missing <= kCorners;
  };
  if ((whole(0) && whole(1)) || (whole(1) && whole(2))) return true;
  *why = QStringLiteral("no two-pixel outline around (%1, %2) %3 x %4 stands out in every pixel")
             .arg(area.x())
             .arg(area.y())
             .arg(area.width())
             .arg(area.height());
  return false;
}

QImage picture(QWidget* widget) {
  return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

}  // namespace

class KeyboardTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { prepareUiTesting(); }

  void init() {
    window_ = std::make_unique<MainWindow>(detectionOn(freqsmith::detect::Hardware{}));
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    QVERIFY(detectionDone(*window_));
    watchdog_ = std::make_unique<ModalWatchdog>();
  }

  void cleanup() {
    QVERIFY(!watchdog_->fired());
    watchdog_.reset();
    window_.reset();
  }

  void theFirstInputHasTheFocusAtStart() {
    auto* text1 = control<QLineEdit>(window_.get(), "Text1");
    QCOMPARE(QApplication::focusWidget(), text1);
    // What is typed first replaces the design text.
    QTest::keyClicks(text1, QStringLiteral("133.3"));
    QCOMPARE(text1->text(), QStringLiteral("133.3"));
  }

  void tabGoesRoundEachTabInReadingOrder_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<QStringList>("round");
    const QStringList commands{"Command2", "Command3", "SSTab1"};
    QTest::newRow("Processor and Memory")
        << 0
        << QStringList{"Text1", "Text2",  "Text3",  "Text4",  "Text5",  "Text6",  "Text8",
                       "Text9", "Text56", "Text13", "Text12", "Text14", "Text15", "Command4"} +
               commands + QStringList{"Text1"};
    QTest::newRow("Power Supply")
        << 1
        << QStringList{"Text22",  "Text25",  "Text28",  "Text30",   "Text32",  "Text33",  "Text23",
                       "Text18",  "Text57",  "Text35",  "Text38",   "Text39",  "Text40",  "Text41",
                       "Text42",  "Text43",  "Text44",  "Text20",   "Text59",  "Text45",  "Text37",
                       "Text21",  "Text26",  "Text27",  "Text29",   "Text31",  "Text34",  "Text24",
                       "Text19",  "Text58",  "Text36",  "Command7", "Check1",  "Check3",  "Check4",
                       "Check5",  "Check2",  "Check6",  "Check7",   "Check8",  "Check9",  "Check10",
                       "Check11", "Check12", "Check13", "Check15",  "Check21", "Check20", "Check19",
                       "Check16", "Check17", "Check14", "Check18"} +
               commands + QStringList{"Text22"};
    QTest::newRow("CPU and Mainboard")
        << 2
        << QStringList{"Textmaker",   "Textcputype", "textsocket", "Textweb",
                       "Textproduct", "Textversion", "Textl2size", "Textl2speed"} +
               commands + QStringList{"Textmaker"};
    QTest::newRow("Miscellaneous Tools")
        << 3
        << QStringList{"Command8", "Command9", "Command6", "Command10", "Command1", "Text10"} +
               commands + QStringList{"Command8"};
  }

  // Bringing a tab to the front takes the focus to its first control, and from there Tab
  // reads the tab, then the commands under it, then the tab strip.
  void tabGoesRoundEachTabInReadingOrder() {
    QFETCH(int, tab);
    QFETCH(QStringList, round);
    control<QTabWidget>(window_.get(), "SSTab1")->setCurrentIndex(tab);
    QCOMPARE(focusName(), round.front());
    QCOMPARE(tabRound(), round);
  }

  void shiftTabGoesTheOtherWay() {
    auto* text1 = control(window_.get(), "Text1");
    QTest::keyClick(text1, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(focusName(), QStringLiteral("SSTab1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(focusName(), QStringLiteral("Command3"));
  }

  void ctrlTabBringsUpTheNextTabWithItsFirstControl() {
    auto* tabs = control<QTabWidget>(window_.get(), "SSTab1");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(tabs->currentIndex(), 1);
    QCOMPARE(focusName(), QStringLiteral("Text22"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab,
                    Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(tabs->currentIndex(), 0);
    QCOMPARE(focusName(), QStringLiteral("Text1"));
  }

  void theReleaseNotesAreReachedAndScrolledFromTheKeyboard() {
    control<QTabWidget>(window_.get(), "SSTab1")->setCurrentIndex(3);
    auto* notes = control<QPlainTextEdit>(window_.get(), "Text10");
    while (focusName() != QStringLiteral("Text10") && focusName() != QStringLiteral("Command2")) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(focusName(), QStringLiteral("Text10"));
    QScrollBar* bar = notes->verticalScrollBar();
    QCOMPARE(bar->value(), 0);
    QTest::keyClick(notes, Qt::Key_Down);
    const int afterDown = bar->value();
    QVERIFY(afterDown > 0);
    QTest::keyClick(notes, Qt::Key_PageDown);
    QVERIFY(bar->value() > afterDown);
    QTest::keyClick(notes, Qt::Key_End);
    QCOMPARE(bar->value(), bar->maximum());
    QTest::keyClick(notes, Qt::Key_Home);
    QCOMPARE(bar->value(), 0);
    const QString text = notes->toPlainText();
    QTest::keyClicks(notes, QStringLiteral("x"));
    QCOMPARE(notes->toPlainText(), text);
    // Tab leaves the notes instead of being typed into them.
    QTest::keyClick(notes, Qt::Key_Tab);
    QCOMPARE(focusName(), QStringLiteral("Command2"));
  }

  void dialogsOpenWithTheFocusOnTheirFirstInput_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("round");
    QTest::newRow("temperature") << "Command6"
                                 << QStringList{"Text3", "Text4",    "Command2", "Text1",
                                                "Text2", "Command3", "Command1", "Text3"};
    QTest::newRow("VRAM") << "Command9" << QStringList{"Text17",   "Text18",   "Text19",
                                                       "Command2", "Command1", "Text17"};
    QTest::newRow("airflow") << "Command8"
                             << QStringList{
                                    "Text98",  "Text96",  "Text123",     "Text97",  "Text95",
                                    "Text122", "Text91",  "Text93",      "Text125", "Text92",
                                    "Text94",  "Text124", "Text113",     "Text111", "Text127",
                                    "Text112", "Text99",  "Text126",     "Text117", "Text115",
                                    "Text129", "Text116", "Text114",     "Text128", "Text121",
                                    "Text119", "Text131", "Text120",     "Text118", "Text130",
                                    "Text132", "Text110", "calcairflow", "close",   "Text98"};
  }

  // Every opening, also of a dialog that was closed with the focus elsewhere.
  void dialogsOpenWithTheFocusOnTheirFirstInput() {
    QFETCH(QString, button);
    QFETCH(QStringList, round);
    QStringList firstRound;
    for (int opening = 0; opening < 2; ++opening) {
      QString focused;
      bool selected = false;
      QTimer::singleShot(0, this, [&] {
        QWidget* dialog = shownDialog();
        if (!dialog) return;
        QTRY_VERIFY(dialog->isActiveWindow());
        focused = focusName();
        if (auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget())) {
          selected = edit->selectedText() == edit->text();
        }
        if (opening == 0) firstRound = tabRound();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        dialog->close();
      });
      click(control(window_.get(), qPrintable(button)));
      QCOMPARE(focused, round.front());
      QVERIFY(selected);
    }
    QCOMPARE(firstRound, round);
  }

  void escapeClosesADialogFromAnyControl_data() {
    QTest::addColumn<const freqsmith::ToolWindow*>("tool");
    QTest::addColumn<QString>("name");
    const std::pair<const char*, const freqsmith::ToolWindow*> tools[] = {
        {"temperature", &freqsmith::tempcalc::kWindow},
        {"VRAM", &freqsmith::vram::kWindow},
        {"airflow", &freqsmith::airflow::kWindow},
    };
    for (const auto& [what, tool] : tools) {
      const std::unique_ptr<freqsmith::ToolDialog> dialog = showDialog(*tool);
      for (QWidget* w : dialog->findChildren<QWidget*>()) {
        if (!qobject_cast<QLineEdit*>(w) && !qobject_cast<QPushButton*>(w)) continue;
        QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(what, w->objectName())))
            << tool << w->objectName();
      }
    }
  }

  void escapeClosesADialogFromAnyControl() {
    QFETCH(const freqsmith::ToolWindow*, tool);
    QFETCH(QString, name);
    const std::unique_ptr<freqsmith::ToolDialog> dialog = showDialog(*tool);
    QWidget* target = control(dialog.get(), qPrintable(name));
    typeKeys(target, QStringLiteral("{all}{bs}"));
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Escape);
    QVERIFY(!dialog->isVisible());
  }

  // The dialog as the program runs it, modally over the main window.
  void escapeClosesTheConverterTheTabOpened() {
    bool closed = false;
    QTimer::singleShot(0, this, [&] {
      QWidget* dialog = shownDialog();
      if (!dialog) return;
      QTRY_VERIFY(dialog->isActiveWindow());
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
      closed = !dialog->isVisible();
      if (!closed) dialog->close();
    });
    click(control(window_.get(), "Command8"));
    QVERIFY(closed);
    QVERIFY(!shownDialog());
  }

  // Escape types nothing, and being no character, it is no key for the empty guard either.
  void escapeLeavesTheMainWindowsFieldsAsTheyAre_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("start");
    QTest::newRow("a figure") << "Text1"
                              << "133.3";
    QTest::newRow("an empty guarded field") << "Text1"
                                            << "";
    QTest::newRow("a count") << "Text22"
                             << "";
  }

  void escapeLeavesTheMainWindowsFieldsAsTheyAre() {
    QFETCH(QString, name);
    QFETCH(QString, start);
    auto* edit = control<QLineEdit>(window_.get(), qPrintable(name));
    bringToFront(edit);
    edit->setText(start);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Escape);
    QCOMPARE(edit->text(), start);
    QVERIFY(window_->isVisible());
    QCOMPARE(QApplication::focusWidget(), edit);
  }

  void theFocusRingStandsOut_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("white input") << "Text1";
    QTest::newRow("black result") << "Text3";
    QTest::newRow("button on the tab") << "Command4";
    QTest::newRow("button over the artwork") << "Command2";
    QTest::newRow("tab strip") << "SSTab1";
    QTest::newRow("lavender watts") << "Text38";
    QTest::newRow("check box") << "Check8";
    QTest::newRow("detected figure without a frame") << "Textcputype";
    QTest::newRow("release notes") << "Text10";
  }

  // Reached with the keyboard, as a user looking for the focus does.
  void theFocusRingStandsOut() {
    QFETCH(QString, name);
    QWidget* target = control(window_.get(), qPrintable(name));
    QVERIFY(target);
    bringToFront(target);
    if (auto* tabs = qobject_cast<QTabWidget*>(target)) target = tabs->tabBar();
    control(window_.get(), "Command3")->setFocus();
    const QImage unfocused = picture(target);
    for (int i = 0; i < 200 && QApplication::focusWidget() != target; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(QApplication::focusWidget(), target);
    const QImage focused = picture(target);
    QString why;
    if (showsAFocusRing(unfocused, focused, &why)) return;
    const QString stem = QDir::temp().filePath(QStringLiteral("tst_keyboard-") + name);
    unfocused.save(stem + QStringLiteral("-unfocused.png"));
    focused.save(stem + QStringLiteral("-focused.png"));
    QFAIL(qPrintable(why + QStringLiteral("; the pictures are in %1-*.png").arg(stem)));
  }

 private:
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<ModalWatchdog> watchdog_;
};

QTEST_MAIN(KeyboardTest)
#include "tst_keyboard.moc"
