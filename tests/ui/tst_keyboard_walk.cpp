// Whole tasks done from the keyboard alone, as a user without a mouse does them: every key
// goes to the control that has the focus, and the figures are read back as such a user reads
// them, by selecting and copying each field in turn (the clipboard's text is what they get).
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <memory>
#include <vector>

#include "facts.h"
#include "main_window.h"
#include "window_test_support.h"

using freqsmith::MainWindow;
using namespace freqsmith::testing;

namespace {

constexpr auto wmi = freqsmith::detect::Source::Wmi;

freqsmith::detect::Hardware detectedMachine() {
  return {.processor = {.maker = {"GenuineIntel", wmi},
                        .busMhz = {200, wmi},
                        .speedMhz = {3000, wmi},
                        .level2Kb = {1024, wmi},
                        .name = {"Walk Processor 3000", wmi},
                        .socket = {"LGA775", wmi}},
          .board = {.maker = {"Walk Boards", wmi}, .product = {"WB-1", wmi}, .version = {"2", wmi}},
          .bios = {.version = {"WB BIOS 0.9", wmi}}};
}

// The focused control's name; the tab strip goes by its tab control's.
QString focusName() {
  QWidget* focus = QApplication::focusWidget();
  if (!focus) return QStringLiteral("(nothing)");
  if (auto* strip = qobject_cast<QTabBar*>(focus)) return strip->parentWidget()->objectName();
  return focus->objectName();
}

// Presses one key, or types one run of characters, on whatever has the focus.
void press(const QString& key) {
  const auto on = [] { return QApplication::focusWidget(); };
  if (key == QLatin1String("Tab")) {
    QTest::keyClick(on(), Qt::Key_Tab);
  } else if (key == QLatin1String("Shift+Tab")) {
    QTest::keyClick(on(), Qt::Key_Backtab, Qt::ShiftModifier);
  } else if (key == QLatin1String("Ctrl+Tab")) {
    QTest::keyClick(on(), Qt::Key_Tab, Qt::ControlModifier);
  } else if (key == QLatin1String("Space")) {
    QTest::keyClick(on(), Qt::Key_Space);
  } else {
    QTest::keyClicks(on(), key);
  }
}

// What copying the focused field gives: Ctrl+A, Ctrl+C, and the clipboard's text. Results
// give their figure; the inputs' filter discards control keys, so they give nothing.
QString copied() {
  QApplication::clipboard()->clear();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::ControlModifier);
  return QApplication::clipboard()->text();
}

// One step of a walk: the keys pressed, the control that has the focus then, and what the
// field shows (unchecked where null) and gives when copied.
struct Step {
  QStringList keys;
  QString focus;
  QString shows;
  QString copies;
};
using Walk = std::vector<Step>;

// A result: shows its figure and gives it when copied.
Step result(const char* name, const char* figure) {
  return {
      {QStringLiteral("Tab")}, QLatin1String(name), QLatin1String(figure), QLatin1String(figure)};
}
// An input passed on the way: shows what was typed (or its own text), copies nothing.
Step input(const char* name, const char* shows = nullptr) {
  return {{QStringLiteral("Tab")},
          QLatin1String(name),
          shows ? QString::fromLatin1(shows) : QString(),
          QString()};
}

// Types the system clock and the multiplier into the fields the window opens in, goes back
// to Calculate, presses it with Space, and reads the first tab in Tab order.
Walk calculation(const char* clock, const char* multiplier, const std::vector<Step>& results) {
  Walk walk{
      {{}, "Text1", {}, {}},
      {{QLatin1String(clock)}, "Text1", QLatin1String(clock), {}},
      {{"Tab"}, "Text2", {}, {}},
      {{QLatin1String(multiplier)}, "Text2", QLatin1String(multiplier), {}},
      {{"Shift+Tab", "Shift+Tab", "Shift+Tab", "Shift+Tab"}, "Command2", {}, {}},
      {{"Space"}, "Command2", {}, {}},
      {{"Tab"}, "Command3", {}, {}},
      {{"Tab"}, "SSTab1", {}, {}},
      input("Text1", clock),
      input("Text2", multiplier),
  };
  walk.insert(walk.end(), results.begin(), results.end());
  return walk;
}

}  // namespace

Q_DECLARE_METATYPE(Walk)

class KeyboardWalkTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { prepareUiTesting(); }

  void init() {
    window_ = std::make_unique<MainWindow>(detectionOn(detectedMachine()));
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

  void walks_data() {
    QTest::addColumn<Walk>("walk");
    // 200 MHz x 10 = 2000 MHz; the buses twice and four times the clock; instructions 9, 12
    // and 6 times the CPU speed; SDRAM the clock at FSB / MEM 1 : 1, DDR twice that.
    QTest::newRow("the worked example, 200 MHz x 10")
        << calculation("200", "10",
                       {result("Text3", "2000"),
                        result("Text4", "400"),
                        result("Text5", "800"),
                        result("Text6", "800"),
                        result("Text8", "18000"),
                        result("Text9", "24000"),
                        result("Text56", "12000"),
                        input("Text13", "1"),
                        input("Text12", "1"),
                        result("Text14", "200"),
                        result("Text15", "400"),
                        {{"Tab"}, "Command4", {}, {}}});
    // Fractions: the CPU speed 1399.65 keeps the five places its field has, and the
    // instructions are worked out from the figure shown.
    QTest::newRow("a fractional clock, 133.3 MHz x 10.5") << calculation(
        "133.3", "10.5",
        {result("Text3", "1399.6"), result("Text4", "266.6"), result("Text5", "533.2"),
         result("Text6", "533.2"), result("Text8", "12596.4"), result("Text9", "16795.2"),
         result("Text56", "8397.6"), input("Text13", "1"), input("Text12", "1"),
         result("Text14", "133.3"), result("Text15", "266.6")});
    // Ctrl+Tab twice from where the window opens brings up what was detected, read in order.
    QTest::newRow("the detected hardware")
        << Walk{{{}, "Text1", {}, {}},
                {{"Ctrl+Tab"}, "Text22", {}, {}},
                {{"Ctrl+Tab"}, "Textmaker", "GenuineIntel", "GenuineIntel"},
                result("Textcputype", "Walk Processor 3000"),
                result("textsocket", "LGA775"),
                result("Textweb", "Walk Boards"),
                result("Textproduct", "WB-1"),
                result("Textversion", "WB BIOS 0.9"),
                result("Textl2size", "1024"),
                // The level-2 cache is taken to run at the processor's clock.
                result("Textl2speed", "3000"),
                {{"Tab"}, "Command2", {}, {}}};
  }

  void walks() {
    QFETCH(Walk, walk);
    int number = 0;
    for (const Step& step : walk) {
      const QString where = QStringLiteral("step %1 (%2)").arg(number++).arg(step.keys.join(' '));
      for (const QString& key : step.keys) press(key);
      QVERIFY2(focusName() == step.focus,
               qPrintable(where + QStringLiteral(": the focus is on ") + focusName()));
      auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget());
      if (!step.shows.isNull()) {
        QVERIFY2(field, qPrintable(where));
        QCOMPARE(field->text(), step.shows);
      }
      if (field) QCOMPARE(copied(), step.copies);
    }
  }

  void spaceOpensEachConverterWithItsFirstFieldReady_data() {
    QTest::addColumn<int>("tabs");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("first");
    QTest::newRow("airflow") << 0 << "Command8"
                             << "Text98";
    QTest::newRow("VRAM") << 1 << "Command9"
                          << "Text17";
    QTest::newRow("temperature") << 2 << "Command6"
                                 << "Text3";
  }

  // Ctrl+Tab three times brings up the last tab, Tab goes from button to button, Space
  // opens the converter, a digit typed goes into its first field, and Escape closes it.
  void spaceOpensEachConverterWithItsFirstFieldReady() {
    QFETCH(int, tabs);
    QFETCH(QString, button);
    QFETCH(QString, first);
    for (int i = 0; i < 3; ++i) press(QStringLiteral("Ctrl+Tab"));
    for (int i = 0; i < tabs; ++i) press(QStringLiteral("Tab"));
    QCOMPARE(focusName(), button);
    QString focused;
    QString typed;
    bool closed = false;
    QTimer::singleShot(0, this, [&] {
      QWidget* dialog = QApplication::activeModalWidget();
      if (!dialog) return;
      QTRY_VERIFY(dialog->isActiveWindow());
      focused = focusName();
      press(QStringLiteral("7"));
      if (auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget()))
        typed = field->text();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
      closed = !dialog->isVisible();
      if (!closed) dialog->close();
    });
    press(QStringLiteral("Space"));
    QCOMPARE(focused, first);
    QCOMPARE(typed, QStringLiteral("7"));
    QVERIFY(closed);
  }

 private:
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<ModalWatchdog> watchdog_;
};

QTEST_MAIN(KeyboardWalkTest)
#include "tst_keyboard_walk.moc"
