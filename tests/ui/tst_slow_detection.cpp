// The real main window started on a management service that answers late, hangs, throws,
// fails with an error or answers only some classes: the window is painted before any
// answer, the figures come afterwards in one step, each unknown figure's tooltip names its
// reason, commands clicked during the wait act as they would after it, and closing never
// waits for the service.
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <chrono>
#include <memory>

#include "deadline_service.h"
#include "detection_report.h"
#include "main_window.h"
#include "troubled_service.h"
#include "window_test_support.h"

using freqsmith::MainWindow;
using freqsmith::detect::FakeService;
using freqsmith::detect::RecordInstance;
using namespace freqsmith::testing;
using namespace std::chrono_literals;

namespace {

// Long enough that the window is built and painted first even under the sanitizers, short
// enough that the rows that time out cost little.
constexpr auto kLimit = 1500ms;

FakeService machine() {
  FakeService machine;
  machine.add("Win32_Processor", RecordInstance{{"Manufacturer", "AuthenticAMD"},
                                                {"ExtClock", std::int64_t{200}},
                                                {"CurrentClockSpeed", std::int64_t{2000}},
                                                {"Name", "Test Processor"}});
  machine.add("Win32_BaseBoard", RecordInstance{{"Manufacturer", "Board Maker"}});
  machine.add("Win32_BIOS", RecordInstance{{"Version", "BIOS 1.07"}});
  return machine;
}

// Remembers whether the window's detection was still pending when it was first painted.
class FirstPaint final : public QObject {
 public:
  explicit FirstPaint(MainWindow* window) : window_(window) { window->installEventFilter(this); }
  bool seen() const { return seen_; }
  bool pendingThen() const { return pendingThen_; }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && !seen_) {
      seen_ = true;
      pendingThen_ = window_->detectionPending();
    }
    return false;
  }

 private:
  MainWindow* window_;
  bool seen_ = false;
  bool pendingThen_ = false;
};

// A window on a troubled copy of the machine. The gate opens when the test says, or at the
// end of the test, which then waits for the worker to let go of the backend, so that none
// outlives its test.
struct Started {
  std::shared_ptr<Gate> gate = std::make_shared<Gate>();
  std::weak_ptr<TroubledService> backend;
  std::unique_ptr<MainWindow> window;
  ~Started() {
    window.reset();
    gate->open();
    if (!QTest::qWaitFor([this] { return backend.expired(); }, 10000)) {
      qFatal("a detection worker still holds its backend");
    }
  }
};

void start(Started& started, Trouble trouble) {
  auto service = std::make_shared<TroubledService>(machine(), trouble, started.gate);
  started.backend = service;
  started.window = std::make_unique<MainWindow>(detectionOn(std::move(service), kLimit));
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
        << Trouble{Where::Connect, How::Hang, 0} << true
        << QStringList{"Textmaker=AuthenticAMD", "labmhz=2000", "Label69=10", "Textweb=Board Maker",
                       "Textversion=BIOS 1.07"}
        << QStringList{"Textmaker=", "Label51=", "Textversion="};
    QTest::newRow("hangs") << Trouble{Where::Connect, How::Hang, 0} << false
                           << QStringList{"Textmaker=maker", "labmhz=Current Speed", "Label69=mult",
                                          "Textweb=Text1"}
                           << QStringList{
                                  "Textmaker=did not report its processor maker " + timedOut,
                                  "Textweb=did not report its mainboard vendor " + timedOut,
                                  "Label69=worked out from the CPU speed and the system clock"};
    QTest::newRow("throws")
        << Trouble{Where::Connect, How::Throw, 0} << false
        << QStringList{"Textmaker=maker", "Label51=sysclk", "Textweb=Board Maker"}
        << QStringList{
               "Textmaker=failed before it reported its processor maker: the backend "
               "failed.",
               "Textweb="};
    QTest::newRow("fails with an error")
        << Trouble{Where::InstancesOf, How::Fail, 0, "Win32_BIOS"} << false
        << QStringList{"Textmaker=AuthenticAMD", "Textversion=Text1"}
        << QStringList{"Textversion=failed before it reported its BIOS version: " +
                           QString::fromLatin1(kServiceError.data(), kServiceError.size()),
                       "Textmaker="};
    QTest::newRow("answers only the processor")
        << Trouble{Where::Connect, How::Hang, 1} << false
        << QStringList{"Textmaker=AuthenticAMD", "labmhz=2000", "Textweb=Text1",
                       "Textversion=Text1"}
        << QStringList{"labmhz=", "Textweb=did not report its mainboard vendor " + timedOut,
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
      const auto stillReading = QString::fromLatin1(freqsmith::detect::kStillReading.data());
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
    start(during, {Where::Connect, How::Hang, 0});
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

  void closesAtOnceWhileTheServiceHangs() {
    Started started;
    start(started, {Where::Property, How::Hang, 0, "Name"});
    started.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(started.window.get()));
    click(control(started.window.get(), "Command2"));
    QElapsedTimer timer;
    timer.start();
    QVERIFY(started.window->close());
    started.window.reset();
    QVERIFY2(timer.elapsed() < 500, qPrintable(QString::number(timer.elapsed())));
  }

  // As the program starts it: the window reads the hardware only once it has been painted.
  void aServiceLeftToTheWindowIsReadOncePainted() {
    auto service = std::make_shared<FakeService>(machine());
    MainWindow window(std::make_unique<freqsmith::detect::DeadlineService>(
        service, freqsmith::detect::DeadlineService::Start::Later));
    FirstPaint paint(&window);
    QCoreApplication::processEvents();
    QCOMPARE(service->connections(), 0);
    window.show();
    QVERIFY(detectionDone(window));
    QVERIFY(paint.seen());
    QCOMPARE(service->connections(), 3);
    QCOMPARE(textOf(window, "Textmaker"), QStringLiteral("AuthenticAMD"));
  }

  void tellsWhenTheFiguresAreIn() {
    Started started;
    start(started, {Where::Connect, How::Hang, 0});
    MainWindow& window = *started.window;
    QCOMPARE(window.property("detectionPending").toBool(), true);
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
