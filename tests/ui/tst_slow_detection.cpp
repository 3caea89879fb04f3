// The real main window started on a management service that hangs, throws or is merely
// slow, behind the deadline service as the program uses it: the window shows within the
// deadline and fields the service did not answer keep their design texts.
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "deadline_service.h"
#include "fake_service.h"
#include "main_window.h"
#include "window_test_support.h"

using freqsmith::MainWindow;
using freqsmith::detect::DeadlineService;
using freqsmith::detect::FakeService;
using freqsmith::detect::ManagementService;
using freqsmith::detect::RecordInstance;
using freqsmith::detect::ServiceConnection;
using namespace freqsmith::testing;
using namespace std::chrono_literals;

namespace {

constexpr auto kDeadline = 300ms;
// Building the widgets, showing and the first paint, under the sanitizers too.
constexpr int kShowMs = 1500;

// Keeps a hung service hung until the test ends; far beyond the deadline otherwise.
class Gate {
 public:
  void wait() {
    std::unique_lock lock(mutex_);
    opened_.wait_for(lock, 60s, [this] { return open_; });
  }
  void open() {
    const std::lock_guard lock(mutex_);
    open_ = true;
    opened_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable opened_;
  bool open_ = false;
};

enum class Behaviour { Hang, Throw, Slow };

// A desktop machine whose connect() hangs on the gate, throws, or takes a moment.
class TroubledService final : public ManagementService {
 public:
  TroubledService(Behaviour behaviour, std::shared_ptr<Gate> gate)
      : behaviour_(behaviour), gate_(std::move(gate)) {
    machine_.add("Win32_Processor", RecordInstance{{"Manufacturer", "AuthenticAMD"},
                                                   {"ExtClock", std::int64_t{200}},
                                                   {"CurrentClockSpeed", std::int64_t{2000}},
                                                   {"Name", "Test Processor"}});
    machine_.add("Win32_BaseBoard", RecordInstance{{"Manufacturer", "Board Maker"}});
  }

  std::unique_ptr<ServiceConnection> connect() override {
    switch (behaviour_) {
      case Behaviour::Hang:
        gate_->wait();
        break;
      case Behaviour::Throw:
        throw std::runtime_error("the service failed");
      case Behaviour::Slow:
        std::this_thread::sleep_for(20ms);
        break;
    }
    return machine_.connect();
  }

 private:
  Behaviour behaviour_;
  std::shared_ptr<Gate> gate_;
  FakeService machine_;
};

}  // namespace

Q_DECLARE_METATYPE(Behaviour)

class SlowDetectionTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { prepareUiTesting(); }

  void showsTheWindowWithinTheDeadline_data() {
    QTest::addColumn<Behaviour>("behaviour");
    QTest::addColumn<bool>("detected");
    QTest::newRow("hangs") << Behaviour::Hang << false;
    QTest::newRow("throws") << Behaviour::Throw << false;
    QTest::newRow("slow but in time") << Behaviour::Slow << true;
  }

  void showsTheWindowWithinTheDeadline() {
    QFETCH(Behaviour, behaviour);
    QFETCH(bool, detected);
    auto gate = std::make_shared<Gate>();
    auto troubled = std::make_shared<TroubledService>(behaviour, gate);
    const std::weak_ptr<TroubledService> backend = troubled;

    QElapsedTimer timer;
    timer.start();
    {
      DeadlineService service(std::move(troubled), kDeadline);
      MainWindow window(service);
      window.show();
      QVERIFY(QTest::qWaitForWindowExposed(&window));
      const qint64 shownMs = timer.elapsed();
      QVERIFY2(shownMs < kShowMs + (behaviour == Behaviour::Hang ? 300 : 0),
               qPrintable(QStringLiteral("shown after %1 ms").arg(shownMs)));

      const auto text = [&window](const char* name) {
        return control<QLineEdit>(&window, name)->text();
      };
      const auto caption = [&window](const char* name) {
        return control<QLabel>(&window, name)->text();
      };
      if (detected) {
        QCOMPARE(text("Textmaker"), QStringLiteral("AuthenticAMD"));
        QCOMPARE(text("Textcputype"), QStringLiteral("Test Processor"));
        QCOMPARE(caption("labmhz"), QStringLiteral("2000"));
        QCOMPARE(caption("Label69"), QStringLiteral("10"));
        QCOMPARE(text("Textweb"), QStringLiteral("Board Maker"));
      } else {
        QCOMPARE(text("Textmaker"), QStringLiteral("maker"));
        QCOMPARE(text("Textcputype"), QStringLiteral("CPU Type"));
        QCOMPARE(text("textsocket"), QStringLiteral("Socket XXX"));
        QCOMPARE(caption("labmhz"), QStringLiteral("Current Speed"));
        QCOMPARE(caption("Label51"), QStringLiteral("sysclk"));
        QCOMPARE(text("Textweb"), QStringLiteral("Text1"));
        QCOMPARE(text("Textversion"), QStringLiteral("Text1"));
      }
    }
    // The window and the service are gone; a hung backend now returns into the state only
    // its worker holds, and the test waits for the worker to let go of it.
    gate->open();
    QTRY_VERIFY_WITH_TIMEOUT(backend.expired(), 10000);
  }
};

QTEST_MAIN(SlowDetectionTest)
#include "tst_slow_detection.moc"
