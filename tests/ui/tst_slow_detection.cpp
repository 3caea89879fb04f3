// The real main window started on a reader that answers late, hangs, throws, fails with an
// error or answers only some parts: the window is painted before any answer, the figures
// come afterwards in one step, each unknown figure's tooltip names its reason, commands
// clicked during the wait act as they would after it, and closing never waits for the
// system.
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

#include "detection_report.h"
#include "facts.h"
#include "fake_reader.h"
#include "main_window.h"
#include "reader.h"
#include "window_test_support.h"

using freqsmith::MainWindow;
using freqsmith::detect::Hardware;
using freqsmith::detect::Reader;
using namespace freqsmith::testing;
using namespace std::chrono_literals;

namespace {

// Long enough that the window is built and painted first even under the sanitizers, short
// enough that the rows that time out cost little.
constexpr auto kLimit = 1500ms;

Hardware machine() {
  constexpr auto wmi = freqsmith::detect::Source::Wmi;
  return {.processor = {.maker = {"AuthenticAMD", wmi},
                        .busMhz = {200, wmi},
                        .speedMhz = {2000, wmi},
                        .name = {"Test Processor", wmi}},
          .board = {.maker = {"Board Maker", wmi}},
          .bios = {.version = {"BIOS 1.07", wmi}}};
}

// Where the reader makes trouble, and how; Part::None for none.
struct Trouble {
  Part part = Part::None;
  How how = How::Hang;
};

// Remembers whether the window's detection was still pending when it was first painted,
// and runs `then` at that moment.
class FirstPaint final : public QObject {
 public:
  explicit FirstPaint(MainWindow* window, std::function<void()> then = {})
      : window_(window), then_(std::move(then)) {
    window->installEventFilter(this);
  }
  bool seen() const { return seen_; }
  bool pendingThen() const { return pendingThen_; }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && !seen_) {
      seen_ = true;
      pendingThen_ = window_->detectionPending();
      if (then_) then_();
    }
    return false;
  }

 private:
  MainWindow* window_;
  std::function<void()> then_;
  bool seen_ = false;
  bool pendingThen_ = false;
};

// A window on a troubled copy of the machine. The gate opens when the test says, or at the
// end of the test, which then waits for the worker to let go of the reader, so that none
// outlives its test.
struct Started {
  std::shared_ptr<Gate> gate = std::make_shared<Gate>();
  std::weak_ptr<const void> reader;  // expires with the last copy of the reader
  std::unique_ptr<MainWindow> window;
  ~Started() {
    window.reset();
    gate->open();
    if (!QTest::qWaitFor([this] { return reader.expired(); }, 10000)) {
      qFatal("a detection worker still holds its reader");
    }
  }
};

void start(Started& started, Trouble trouble) {
  Reader reader = troubledReader(machine(), trouble.part, trouble.how, started.gate);
  auto held = std::make_shared<int>();
  started.reader = held;
  reader.processor = [processor = std::move(reader.processor), held] { return processor(); };
  started.window = std::make_unique<MainWindow>(detectionOn(std::move(reader), kLimit));
}

QString textOf(MainWindow& window, const char* name) {
  return control(&window, name)->property("text").toString();
}

QString tooltipOf(MainWindow& window, const char* name) {
  return control(&window, name)->toolTip();
}

// Every field and label text of the window, by name.
QStringList allTexts(MainWindow& window) {
  QStringList texts;
  for (QLineEdit* edit : window.findChildren<QLineEdit*>()) {
    texts << edit->objectName() + u'=' + edit->text();
  }
  for (QLabel* label : window.findChildren<QLabel*>()) {
    texts << label->objectName() + u'=' + label->text();
  }
  return texts;
}

}  // namespace

Q_DECLARE_METATYPE(Trouble)

class SlowDetectionTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { prepareUiTesting(); }

  void paintsFirstThenPutsInWhatCame_data() {
    QTest::addColumn<Trouble>("trouble");
    QTest::addColumn<bool>("opens");  // the gate opens once the window is painted
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("tips");  // name=part of its tooltip; empty: none
    const QString timedOut = QStringLiteral("within 1.5 seconds.");
    QTest::newRow("answers after a while")
        << Trouble{Part::Processor, How::Hang} << true
        << QStringList{"Textmaker=AuthenticAMD", "labmhz=2000", "Label69=10", "Textweb=Board Maker",
                       "Textversion=BIOS 1.07"}
        << QStringList{"Textmaker=", "Label51=", "Textversion="};
    QTest::newRow("hangs") << Trouble{Part::Processor, How::Hang} << false
                           << QStringList{"Textmaker=maker", "labmhz=Current Speed", "Label69=mult",
                                          "Textweb=Text1"}
                           << QStringList{
                                  "Textmaker=did not report its processor maker " + timedOut,
                                  "Textweb=did not report its mainboard vendor " + timedOut,
                                  "Label69=worked out from the CPU speed and the system clock"};
    QTest::newRow("throws")
        << Trouble{Part::Processor, How::Throw} << false
        << QStringList{"Textmaker=maker", "Label51=sysclk", "Textweb=Board Maker"}
        << QStringList{
               "Textmaker=failed before it reported its processor maker: the backend "
               "failed.",
               "Textweb="};
    QTest::newRow("fails with an error")
        << Trouble{Part::Bios, How::Fail} << false
        << QStringList{"Textmaker=AuthenticAMD", "Textversion=Text1"}
        << QStringList{"Textversion=failed before it reported its BIOS version: " +
                           QString::fromLatin1(kServiceError.data(), kServiceError.size()),
                       "Textmaker="};
    // The processor's clock comes from the firmware through the service: the rated one.
    QTest::newRow("answers only the processor")
        << Trouble{Part::Board, How::Hang} << false
        << QStringList{"Textmaker=AuthenticAMD", "labmhz=2000", "Textweb=Text1",
                       "Textversion=Text1"}
        << QStringList{"Label51=", "labmhz=rated clock",
                       "Textweb=did not report its mainboard vendor " + timedOut,
                       "Textversion=did not report its BIOS version " + timedOut};
  }

  void paintsFirstThenPutsInWhatCame() {
    QFETCH(Trouble, trouble);
    QFETCH(bool, opens);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, tips);
    Started started;
    start(started, trouble);
    MainWindow& window = *started.window;
    FirstPaint paint(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(paint.seen());

    // The tabs not in front are built just after the first paint.
    QTRY_VERIFY(control(&window, "Textmaker"));
    // A service held up is painted over; one that fails at once may well be in first.
    if (trouble.how == How::Hang) {
      QVERIFY(paint.pendingThen());
      QVERIFY(window.detectionPending());
      QCOMPARE(textOf(window, "Textmaker"), QStringLiteral("maker"));
      const auto stillReading = QString::fromLatin1(freqsmith::kStillReading.data());
      QCOMPARE(tooltipOf(window, "Textmaker"), stillReading);
      QCOMPARE(tooltipOf(window, "labmhz"), stillReading);
    }
    if (opens) started.gate->open();
    QVERIFY(detectionDone(window));

    for (const QString& pair : shown) {
      QCOMPARE(textOf(window, qPrintable(pair.section(u'=', 0, 0))), pair.section(u'=', 1));
    }
    for (const QString& pair : tips) {
      const QString tip = tooltipOf(window, qPrintable(pair.section(u'=', 0, 0)));
      const QString part = pair.section(u'=', 1);
      QVERIFY2(part.isEmpty() ? tip.isEmpty() : tip.contains(part), qPrintable(pair + " / " + tip));
    }
  }

  void commandsClickedDuringTheWaitActAsAfterIt_data() {
    QTest::addColumn<QString>("command");
    QTest::newRow("Calculate") << "Command2";
    QTest::newRow("Detect") << "Command4";
    QTest::newRow("Reset") << "Command3";
    QTest::newRow("Detect, then Calculate") << "Command4 Command2";
  }

  void commandsClickedDuringTheWaitActAsAfterIt() {
    QFETCH(QString, command);
    const QStringList commands = command.split(u' ');
    const auto typeInputs = [](MainWindow& window) {
      typeKeys(control(&window, "Text2"), QStringLiteral("{all}12"));
      typeKeys(control(&window, "Text22"), QStringLiteral("{all}3"));
    };

    Started after;
    start(after, {});
    after.window->show();
    QVERIFY(detectionDone(*after.window));
    typeInputs(*after.window);
    for (const QString& name : commands) click(control(after.window.get(), qPrintable(name)));

    Started during;
    start(during, {Part::Processor, How::Hang});
    MainWindow& window = *during.window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (const QString& name : commands) click(control(&window, qPrintable(name)));
    QVERIFY(window.detectionPending());
    QCOMPARE(window.cursor().shape(), Qt::BusyCursor);
    QCOMPARE(textOf(window, "text7"), QStringLiteral("Reading your system settings first, one "
                                                     "moment please..."));
    // Typed while waiting: kept, and read by the commands when they run.
    typeInputs(window);
    QCOMPARE(textOf(window, "Text22"), QStringLiteral("3"));
    during.gate->open();
    QVERIFY(detectionDone(window));

    QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(allTexts(window), allTexts(*after.window));
  }

  void closesAtOnceWhileTheSystemHangs() {
    Started started;
    start(started, {Part::Processor, How::Hang});
    started.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(started.window.get()));
    click(control(started.window.get(), "Command2"));
    QElapsedTimer timer;
    timer.start();
    QVERIFY(started.window->close());
    started.window.reset();
    QVERIFY2(timer.elapsed() < 500, qPrintable(QString::number(timer.elapsed())));
  }

  // As the program starts it: the window reads the hardware only once it has been painted,
  // each part once.
  void theHardwareIsReadOncePainted() {
    auto reads = std::make_shared<std::atomic<int>>(0);
    const auto counted = [reads](auto read) {
      return [reads, read] {
        ++*reads;
        return read();
      };
    };
    Reader reader = fixedReader(machine());
    reader.processor = counted(reader.processor);
    reader.board = counted(reader.board);
    reader.bios = counted(reader.bios);
    MainWindow window(detectionOn(std::move(reader)));
    int readsAtPaint = -1;
    FirstPaint paint(&window, [&] { readsAtPaint = *reads; });
    QCoreApplication::processEvents();
    QCOMPARE(reads->load(), 0);
    window.show();
    QVERIFY(detectionDone(window));
    QVERIFY(paint.seen());
    QCOMPARE(readsAtPaint, 0);
    QCOMPARE(reads->load(), 3);
    QCOMPARE(textOf(window, "Textmaker"), QStringLiteral("AuthenticAMD"));
  }

  void tellsWhenTheFiguresAreIn() {
    Started started;
    start(started, {Part::Processor, How::Hang});
    MainWindow& window = *started.window;
    QCOMPARE(window.property("detectionPending").toBool(), true);
    // Never shown: it reads once it is whole.
    window.completeWindow();
    int finished = 0;
    connect(&window, &MainWindow::detectionFinished, this, [&finished] { ++finished; });
    started.gate->open();
    QTRY_COMPARE(finished, 1);
    QCOMPARE(window.property("detectionPending").toBool(), false);
    // The time limit passing later changes nothing more.
    QTest::qWait(static_cast<int>(std::chrono::milliseconds(kLimit).count()) + 100);
    QCOMPARE(finished, 1);
  }
};

QTEST_MAIN(SlowDetectionTest)
#include "tst_slow_detection.moc"
