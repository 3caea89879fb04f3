// The main window driven through real key and mouse events: its shape, the explanation
// line, the key filters, detection at start-up and the geometry saved at close.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "build_config.h"
#include "detection.h"
#include "detection_report.h"
#include "display_label.h"
#include "facts.h"
#include "fake_reader.h"
#ifndef _WIN32
#include "fixture_machines.h"
#endif
#include "hardware_query.h"
#include "main_window.h"
#include "main_window_controls.h"
#include "picture_label.h"
#include "reader.h"
#include "window_test_support.h"

using freqsmith::FigureLine;
using freqsmith::MainWindow;
using freqsmith::detect::Hardware;
using freqsmith::detect::Reader;
using namespace freqsmith::testing;

namespace {

constexpr auto wmi = freqsmith::detect::Source::Wmi;

Hardware desktopMachine() {
  return {
      .processor = {.maker = {"AuthenticAMD", wmi},
                    .busMhz = {166, wmi},
                    .speedMhz = {1833, wmi},
                    .level2Kb = {256, wmi},
                    .name = {"Test Processor 2500+", wmi},
                    .socket = {"Socket A", wmi}},
      .board = {.maker = {"Board Maker", wmi}, .product = {"BM-7", wmi}, .version = {"1.0", wmi}},
      .bios = {.version = {"BIOS 1.07", wmi}}};
}

template <class Part>
std::function<Part()> unreachable() {
  return []() -> Part { throw std::runtime_error("the service could not be reached"); };
}

// A machine whose hardware service cannot be reached: every part fails.
Reader unreachableMachine() {
  using namespace freqsmith::detect;
  return {unreachable<Processor>(), unreachable<Board>(), unreachable<Bios>(), nullptr};
}

// Which holder's picture the vendor logo shows, once its tab is in front; empty for none.
QString logoShown(QWidget* window) {
  auto* logo = control<freqsmith::PictureLabel>(window, "Image3");
  bringToFront(logo);
  if (logo->pixmap().isNull()) return {};
  for (const char* holder : {"amd", "intel", "cyrix"}) {
    auto* picture = control<freqsmith::PictureLabel>(window, holder);
    picture->ensureLoaded();
    if (picture->pixmap().cacheKey() == logo->pixmap().cacheKey())
      return QString::fromLatin1(holder);
  }
  return QStringLiteral("another picture");
}

// Runs the report and the window each on a detection of their own through a reader from
// `make`, as `freqsmith --detect` and the program do, and checks that every report line says
// what the window shows: the same text where a figure is known, and "unknown" where the
// window keeps its design text and explains it in a tooltip. A known figure has a tooltip
// only where the report calls it the rated clock, and then the tooltip says so.
void checkReportAgreesWithWindow(const std::function<Reader()>& make) {
  freqsmith::detect::Detection forReport(make());
  const QStringList report = QString::fromStdString(freqsmith::detectionReport(forReport.answers()))
                                 .split(u'\n', Qt::SkipEmptyParts);
  MainWindow window(detectionOn(make()));
  window.completeWindow();
  QVERIFY(detectionDone(window));

  // The tab's figures when nothing answers: their headings, controls and design texts.
  freqsmith::MemoryForm blank(freqsmith::mainwin::kControls, freqsmith::mainwin::kExplanationLine);
  const std::vector<FigureLine> figures = runDetection(blank, Hardware{});
  QCOMPARE(report.size(), static_cast<qsizetype>(figures.size()));
  for (std::size_t i = 0; i < figures.size(); ++i) {
    const QString heading = QString::fromUtf8(figures[i].heading.data(),
                                              static_cast<qsizetype>(figures[i].heading.size()));
    const QString& line = report[static_cast<qsizetype>(i)];
    QVERIFY2(line.startsWith(heading + QStringLiteral(": ")), qPrintable(line));
    const QString value = line.mid(heading.size() + 2);
    const std::string_view name = blank.control(figures[i].shownIn).name;
    QWidget* w = control(&window, std::string(name).c_str());
    QVERIFY2(w, name.data());
    const QString shown = w->property("text").toString();
    if (value == QStringLiteral("unknown")) {
      QCOMPARE(shown, QString::fromStdString(figures[i].shown));
      QVERIFY2(!w->toolTip().isEmpty(), qPrintable(line));
    } else {
      QVERIFY2(value.startsWith(shown + u' ') && value.endsWith(u')'),
               qPrintable(line + QStringLiteral(" / ") + shown));
      if (value.endsWith(QStringLiteral(", rated)"))) {
        QVERIFY2(w->toolTip().contains(QStringLiteral("rated clock")), qPrintable(line));
      } else {
        QVERIFY2(w->toolTip().isEmpty(), qPrintable(line + QStringLiteral(" / ") + w->toolTip()));
      }
    }
  }
}

// Where the window keeps its geometry: under the test run's own names.
// Calls `seen` when `watched` receives an event of `type`, before the object handles it.
class EventSpy final : public QObject {
 public:
  EventSpy(QObject* watched, QEvent::Type type, std::function<void()> seen)
      : type_(type), onSeen_(std::move(seen)) {
    watched->installEventFilter(this);
  }
  bool seen() const { return seen_; }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == type_ && !seen_) {
      seen_ = true;
      onSeen_();
    }
    return false;
  }

 private:
  QEvent::Type type_;
  std::function<void()> onSeen_;
  bool seen_ = false;
};

QSettings userSettings() {
  return QSettings();
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { prepareUiTesting(); }

  void init() {
    window_ = std::make_unique<MainWindow>(detectionOn(desktopMachine()));
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    QVERIFY(detectionDone(*window_));
  }

  void cleanup() { window_.reset(); }

  void hasTheCaptionSizeAndTabs() {
    QCOMPARE(window_->objectName(), QStringLiteral("frmMain"));
    QCOMPARE(window_->windowTitle(),
             QStringLiteral("Freqsmith 1.34b (" FREQSMITH_PUBLISHER_URL ")"));
    QCOMPARE(window_->size(), QSize(469, 358));
    auto* tabs = control<QTabWidget>(window_.get(), "SSTab1");
    QVERIFY(tabs);
    QCOMPARE(tabs->count(), 4);
    QCOMPARE(tabs->tabText(0), QStringLiteral("Processor and Memory"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("Power Supply"));
    QCOMPARE(tabs->tabText(2), QStringLiteral("CPU and Mainboard"));
    QCOMPARE(tabs->tabText(3), QStringLiteral("   Miscellaneous Tools   "));
    QCOMPARE(tabs->currentIndex(), 0);
    QCOMPARE(control<QPushButton>(window_.get(), "Command2")->text(), QStringLiteral("Calculate"));
    QCOMPARE(control<QPushButton>(window_.get(), "Command3")->text(), QStringLiteral("Reset"));
    QCOMPARE(control<QLabel>(window_.get(), "Label76")->text(),
             QStringLiteral("OVERCLOCK AT YOUR OWN RISK!"));
    QCOMPARE(control<QLabel>(window_.get(), "text7")->text(),
             QStringLiteral("Click an object, and an explanation will be given here."));
  }

  void controlsSitWithinTheirContainers() {
    const auto widgets = window_->findChildren<QWidget*>();
    for (QWidget* w : widgets) {
      if (w->objectName().isEmpty() || !w->parentWidget() || w->isWindow() || w->isHidden())
        continue;
      if (w->objectName() == "amd" || w->objectName() == "intel" || w->objectName() == "cyrix")
        continue;  // the logo holders are placed out of sight on purpose
      if (qobject_cast<QTabWidget*>(w->parentWidget()->parentWidget())) continue;  // pages
      const QRect inside = w->parentWidget()->rect();
      QVERIFY2(inside.contains(w->geometry()), qPrintable(w->objectName()));
    }
  }

  void clickExplains_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("sentence");
    const auto row = [](const char* name, const char* sentence) {
      QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(sentence);
    };
    row("text7", "Click on something, and an explanation will be given here...");
    const char* sysClk = "Your System Clock, the speed that everying in your system is based on.";
    row("Label5", sysClk);
    row("Text1", sysClk);
    const char* multiplier = "This value multiplied by your Sys Clk results in overall cpu speed.";
    row("Label6", multiplier);
    row("Text2", multiplier);
    row("Label7", "This is your overall CPU Speed.");
    row("Text3", "This is your overall CPU Speed.");
    row("Label8", "Resulting Frontside Bus for an AMD (32Bit) Chipset");
    row("Text4", "Resulting Frontside Bus for an AMD (32Bit) Chipset");
    row("Label9", "Resulting Frontside Bus for an AMD (64Bit) Chipset");
    row("Text5", "Resulting Frontside Bus for an AMD (64Bit) Chipset");
    row("Label10", "Resulting Frontside Bus for an Intel (P4) Chipset");
    row("Text6", "Resulting Frontside Bus for an Intel (P4) Chipset");
    row("Label16", "Resulting Instructions Per Second for an Athlon CPU");
    row("Text8", "Resulting Instructions Per Second for an Athlon CPU");
    row("Label17", "Resulting Instructions Per Second for an Athlon 64 CPU");
    row("Text9", "Resulting Instructions Per Second for an Athlon 64 CPU");
    row("Label19", "Resulting Instructions Per Second for a Pentium 4 CPU");
    row("Text56", "Resulting Instructions Per Second for a Pentium 4 CPU");
    row("Label25", "Frontside Bus ratio versus Memory ratio");
    row("Text13", "Frontside Bus ratio versus Memory ratio");
    row("Label26", "Memory ratio versus Frontside Bus ratio");
    row("Text12", "Memory ratio versus Frontside Bus ratio");
    row("Label27", "Resulting speed for SDRAM (in Mhz)");
    row("Text14", "Resulting speed for SDRAM (in Mhz)");
    row("Label28", "Resulting speed for DDR SDRAM (in Mhz)");
    row("Text15", "Resulting speed for DDR SDRAM (in Mhz)");
    row("Label74", "Your System Clock.");
    row("Label51", "Your System Clock.");
    row("Label34", "Your System Frontside Bus.");
    row("Label71", "Your System Frontside Bus.");
    row("Label75", "Your Processors internal multiplier.");
    row("Label69", "Your Processors internal multiplier.");
    row("Label77", "Your Processors overall speed in Mhz.");
    row("labmhz", "Your Processors overall speed in Mhz.");
    row("Label18", "Your Processors Level 2 Cache Size in Kilobytes.");
    row("Label70", "Your Processors Level 2 Cache Speed in Megahertz.");
    row("Label15", "Your Mainboard Model.");
    row("Label22", "Your Mainboard Manufacturers Website.");
    row("Label3", "Your Mainboard BIOS Version.");
    row("Textcputype", "Your Processors Type, Core, and Model.");
    row("Textmaker", "Your Processors Manufacturer.");
    row("textsocket", "The type of Socket or Slot your processor uses.");
    row("Textl2size", "Your Processors Level 2 Cache Size in Kilobytes.");
    row("Textl2speed", "Your Processors Level 2 Cache Speed in Megahertz.");
    row("Textweb", "Your Mainboard Manufacturers Website.");
    row("Textproduct", "Your Mainboard Model.");
    row("Textversion", "Your Mainboard BIOS Version.");
    row("Label85", "Vendor logo of your CPU manufacturer.");
  }

  void clickExplains() {
    QFETCH(QString, name);
    QFETCH(QString, sentence);
    auto* line = control<QLabel>(window_.get(), "text7");
    line->setText(QStringLiteral("something else"));
    QWidget* target = control(window_.get(), qPrintable(name));
    QVERIFY(target);
    click(target);
    QCOMPARE(line->text(), sentence);
  }

  void unlistedControlsLeaveTheLineAlone_data() {
    QTest::addColumn<QString>("name");
    for (const char* name : {"Label78", "Label60", "Label72", "Label80", "Label1", "Text1Unit"}) {
      QTest::newRow(name) << QString::fromLatin1(name);
    }
  }

  void unlistedControlsLeaveTheLineAlone() {
    QFETCH(QString, name);
    auto* line = control<QLabel>(window_.get(), "text7");
    click(control(window_.get(), "Label5"));
    const QString before = line->text();
    QWidget* target = control(window_.get(), qPrintable(name));
    QVERIFY(target);
    click(target);
    QCOMPARE(line->text(), before);
  }

  void keyFilters_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("result");
    const auto row = [](const char* what, const char* name, const char* start, const char* keys,
                        const char* result) {
      QTest::newRow(what) << QString::fromLatin1(name) << QString::fromLatin1(start)
                          << QString::fromLatin1(keys) << QString::fromLatin1(result);
    };
    row("letter into empty Text1 leaves the guard", "Text1", "", "a", "0");
    row("digit into empty Text1 follows the guard", "Text1", "", "5", "05");
    row("backspace keeps Text1 empty", "Text1", "", "{bs}", "");
    row("tab keeps Text1 empty", "Text1", "", "{tab}", "");
    row("Text1 stops at five characters", "Text1", "0", "{all}133.34", "133.3");
    row("guard counts toward the length", "Text1", "", "12345678", "01234");
    row("erase then type", "Text1", "0", "{bs}{bs}133.3", "0133.");
    row("selection is replaced", "Text1", "200", "{all}166", "166");
    row("a second point is typed", "Text1", "1.2", ".3", "1.2.3");
    row("minus is refused", "Text1", "5", "-", "5");
    row("control keys are discarded", "Text1", "12", "{enter}{esc}{ctrl+v}{ctrl+a}", "12");
    row("cut shortcut is discarded", "Text1", "12", "{all}{ctrl+x}", "12");
    row("delete still edits", "Text1", "123", "{home}{del}", "23");
    row("letter into empty Text2 stays empty", "Text2", "", "a", "");
    row("Text2 takes a multiplier", "Text2", "", "10.5", "10.5");
    row("Text2 stops at four characters", "Text2", "", "10.55", "10.5");
    row("Text2 refuses minus", "Text2", "", "-", "");
    row("Text13 refuses zero", "Text13", "1", "{all}0", "1");
    row("Text13 refuses the point", "Text13", "1", "{all}.", "1");
    row("Text13 takes a digit over its selection", "Text13", "1", "{all}7", "7");
    row("Text13 holds one digit", "Text13", "1", "{all}{bs}45", "4");
    row("Text12 can be emptied", "Text12", "1", "{all}{bs}", "");
    row("Text12 has no guard", "Text12", "", "x", "");
  }

  void keyFilters() {
    QFETCH(QString, name);
    QFETCH(QString, start);
    QFETCH(QString, keys);
    QFETCH(QString, result);
    auto* edit = control<QLineEdit>(window_.get(), qPrintable(name));
    QVERIFY(edit);
    QApplication::clipboard()->setText(QStringLiteral("999"));
    edit->setText(start);
    bringToFront(edit);
    edit->setFocus();
    typeKeys(edit, keys);
    QCOMPARE(edit->text(), result);
  }

  void tabMovesTheFocusOn() {
    auto* text1 = control<QLineEdit>(window_.get(), "Text1");
    window_->activateWindow();
    text1->setFocus();
    QTRY_VERIFY(text1->hasFocus());
    QTest::keyClick(text1, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), control(window_.get(), "Text2"));
  }

  void contextMenuPasteIsCutButNotFiltered() {
    auto* text1 = control<QLineEdit>(window_.get(), "Text1");
    auto* text2 = control<QLineEdit>(window_.get(), "Text2");
    QApplication::clipboard()->setText(QStringLiteral("1234567"));
    text1->clear();
    text1->paste();
    QCOMPARE(text1->text(), QStringLiteral("12345"));
    QApplication::clipboard()->setText(QStringLiteral("abc"));
    text2->clear();
    text2->paste();
    QCOMPARE(text2->text(), QStringLiteral("abc"));
  }

  void detectionFillsTheCpuTab() {
    const auto text = [this](const char* name) {
      if (auto* edit = control<QLineEdit>(window_.get(), name)) return edit->text();
      return control<QLabel>(window_.get(), name)->text();
    };
    QCOMPARE(text("Textmaker"), QStringLiteral("AuthenticAMD"));
    QCOMPARE(text("Textcputype"), QStringLiteral("Test Processor 2500+"));
    QCOMPARE(text("textsocket"), QStringLiteral("Socket A"));
    QCOMPARE(text("Textl2size"), QStringLiteral("256"));
    QCOMPARE(text("Textl2speed"), QStringLiteral("1833"));
    QCOMPARE(text("Textweb"), QStringLiteral("Board Maker"));
    QCOMPARE(text("Textproduct"), QStringLiteral("BM-7"));
    QCOMPARE(text("Textversion"), QStringLiteral("BIOS 1.07"));
    QCOMPARE(text("labmhz"), QStringLiteral("1833"));
    QCOMPARE(text("Label51"), QStringLiteral("166"));
    QCOMPARE(text("Label71"), QStringLiteral("332"));
    QCOMPARE(text("Label69"), QStringLiteral("11.0"));
    // The service gives the firmware's rated clock, and the figure says so.
    QVERIFY(control(window_.get(), "labmhz")->toolTip().contains(QStringLiteral("rated clock")));
    QCOMPARE(control(window_.get(), "Label51")->toolTip(), QString());

    for (const char* hidden : {"Textarch", "Textcpuspeed", "Textmultiplier", "Text11"}) {
      QWidget* holder = control(window_.get(), hidden);
      QVERIFY2(holder && holder->isHidden(), hidden);
    }
    for (const char* shown : {"Textmaker", "Textcputype", "textsocket", "Textl2size", "Textl2speed",
                              "Textweb", "Textproduct", "Textversion"}) {
      auto* field = control<QLineEdit>(window_.get(), shown);
      QVERIFY2(field && !field->isHidden() && field->isReadOnly(), shown);
    }
    QCOMPARE(logoShown(window_.get()), QStringLiteral("amd"));
  }

  // Firmware and virtual machines give 0 for a clock they do not know: the window shows no
  // 0 and nothing worked out from it, and says the system does not report the clock.
  void aClockOfZeroIsUnknown_data() {
    QTest::addColumn<int>("busMhz");
    QTest::addColumn<int>("speedMhz");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("unknown");  // the figure the system does not report
    QTest::addColumn<QString>("tip");
    QTest::newRow("bus clock") << 0 << 1833
                               << QStringList{"Label51=sysclk", "Label71=fsb", "Label69=mult",
                                              "labmhz=1833"}
                               << "Label51"
                               << "does not report its bus clock.";
    QTest::newRow("CPU speed") << 166 << 0
                               << QStringList{"labmhz=Current Speed", "Label69=mult", "Label51=166",
                                              "Label71=332"}
                               << "labmhz"
                               << "does not report its processor speed.";
  }

  void aClockOfZeroIsUnknown() {
    QFETCH(int, busMhz);
    QFETCH(int, speedMhz);
    QFETCH(QStringList, shown);
    QFETCH(QString, unknown);
    QFETCH(QString, tip);
    Hardware machine = desktopMachine();
    machine.processor.busMhz = {busMhz, wmi};
    machine.processor.speedMhz = {speedMhz, wmi};
    MainWindow window(detectionOn(machine));
    window.show();
    QVERIFY(detectionDone(window));
    for (const QString& pair : shown) {
      QCOMPARE(control(&window, qPrintable(pair.section(u'=', 0, 0)))->property("text").toString(),
               pair.section(u'=', 1));
    }
    const QString told = control(&window, qPrintable(unknown))->toolTip();
    QVERIFY2(told.endsWith(tip), qPrintable(told));
    QVERIFY2(control(&window, "Label69")->toolTip().endsWith(u"one of them is unknown."),
             qPrintable(control(&window, "Label69")->toolTip()));
  }

  void detectionFieldsRefuseTyping() {
    auto* maker = control<QLineEdit>(window_.get(), "Textmaker");
    bringToFront(maker);
    typeKeys(maker, QStringLiteral("{end}x{bs}{bs}"));
    QCOMPARE(maker->text(), QStringLiteral("AuthenticAMD"));
  }

  void aMachineWithoutDetectionStillOpens_data() {
    QTest::addColumn<bool>("reachable");
    QTest::newRow("reports nothing") << true;
    QTest::newRow("service unreachable") << false;
  }

  void aMachineWithoutDetectionStillOpens() {
    QFETCH(bool, reachable);
    MainWindow window(detectionOn(reachable ? fixedReader({}) : unreachableMachine()));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(detectionDone(window));
    QCOMPARE(control<QLabel>(&window, "labmhz")->text(), QStringLiteral("Current Speed"));
    QCOMPARE(control<QLabel>(&window, "Label69")->text(), QStringLiteral("mult"));
    QCOMPARE(logoShown(&window), QString());
  }

#ifndef _WIN32
  // The fixture machines are file trees for the backend that reads /proc and /sys.
  void detectionOnFixtureMachines_data() {
    QTest::addColumn<QString>("machine");
    QTest::addColumn<QStringList>("expected");  // name=text pairs
    QTest::addColumn<QString>("logo");
    QTest::newRow("intel-desktop") << "intel-desktop"
                                   << QStringList{"Textmaker=GenuineIntel",
                                                  "textsocket=LGA1151",
                                                  "labmhz=3600",
                                                  "Label51=100",
                                                  "Label71=200",
                                                  "Label69=36",
                                                  "Textl2size=1024",
                                                  "Textl2speed=3600",
                                                  "Textweb=Board Maker Inc.",
                                                  "Textversion=1203"}
                                   << "intel";
    QTest::newRow("intel-no-smbios")
        << "intel-no-smbios"
        << QStringList{"textsocket=Socket XXX", "labmhz=4300", "Label51=100",
                       "Label71=200",           "Label69=43",  "Textl2speed=4300",
                       "Textversion=F21"}
        << "intel";
    QTest::newRow("virtual-machine")
        << "virtual-machine"
        << QStringList{"textsocket=CPU 0", "labmhz=2300",   "Label51=sysclk",       "Label71=fsb",
                       "Label69=mult",     "Textweb=Text1", "Textversion=1.16.2-vm"}
        << "intel";
    QTest::newRow("amd-desktop")
        << "amd-desktop"
        << QStringList{"Textmaker=AuthenticAMD", "labmhz=3593", "Label51=sysclk",
                       "Label69=mult",           "Label71=fsb", "textsocket=Socket XXX",
                       "Textversion=4021"}
        << "amd";
    QTest::newRow("two-socket-server") << "two-socket-server"
                                       << QStringList{"labmhz=2533",
                                                      "Label51=166",
                                                      "Label71=332",
                                                      "Label69=15.2",
                                                      "textsocket=CPU3",
                                                      "Textl2size=1024",
                                                      "Textweb=Server Boards Co.",
                                                      "Textversion=2.1a"}
                                       << "intel";
    QTest::newRow("no-dmi") << "no-dmi"
                            << QStringList{"Textweb=Text1", "Textproduct=Text1",
                                           "Textversion=Text1", "Label51=sysclk", "labmhz=2993"}
                            << "intel";
    QTest::newRow("arm-board") << "arm-board"
                               << QStringList{"Textmaker=maker", "Textcputype=SBC-SOC1",
                                              "labmhz=1500", "Textweb=Text1"}
                               << "";
    QTest::newRow("malformed") << "malformed"
                               << QStringList{"Textmaker=GenuineIntel", "Label69=mult"} << "intel";
  }

  void detectionOnFixtureMachines() {
    QFETCH(QString, machine);
    QFETCH(QStringList, expected);
    QFETCH(QString, logo);
    MainWindow window(detectionOn(freqsmith::fixtures::readerOf(machine.toStdString())));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(detectionDone(window));
    for (const QString& pair : expected) {
      const QString name = pair.section(u'=', 0, 0);
      const QString value = pair.section(u'=', 1);
      QWidget* w = control(&window, qPrintable(name));
      QVERIFY2(w, qPrintable(name));
      const QString shown = w->property("text").toString();
      QCOMPARE(shown, value);
    }
    QCOMPARE(logoShown(&window), logo);
  }

  void reportAgreesWithTheWindow_data() {
    QTest::addColumn<QString>("machine");
    for (const char* machine :
         {"intel-desktop", "intel-no-smbios", "amd-desktop", "virtual-machine", "two-socket-server",
          "no-dmi", "arm-board", "malformed"}) {
      QTest::newRow(machine) << QString::fromLatin1(machine);
    }
  }

  void reportAgreesWithTheWindow() {
    QFETCH(QString, machine);
    checkReportAgreesWithWindow(
        [name = machine.toStdString()] { return freqsmith::fixtures::readerOf(name); });
  }
#endif

  // On the machine that runs the tests (a virtual machine without SMBIOS or a bus clock in
  // CPUID, or Wine's management service) several figures stay unknown; the window opens all
  // the same.
  void reportAgreesWithTheWindowOnThisMachine() {
    checkReportAgreesWithWindow(freqsmith::detect::platformReader);
  }

  // In whatever fonts the platform offers, no one-line caption loses its last letters.
  void everyCaptionIsDrawnWhole() {
    for (QLabel* label : window_->findChildren<QLabel*>()) {
      if (label->wordWrap() || label->text().isEmpty() || label->text().contains(u'\n') ||
          qobject_cast<freqsmith::DisplayLabel*>(label))
        continue;
      QVERIFY2(QFontMetrics(label->font()).horizontalAdvance(label->text()) <=
                   label->contentsRect().width(),
               qPrintable(label->objectName()));
    }
  }

  void everyFieldHasAnAccessibleName() {
    for (QLineEdit* edit : window_->findChildren<QLineEdit*>()) {
      QVERIFY2(!edit->accessibleName().isEmpty(), qPrintable(edit->objectName()));
    }
    QCOMPARE(control(window_.get(), "Text1")->accessibleName(), QStringLiteral("Sys Clk"));
    QCOMPARE(control(window_.get(), "Text22")->accessibleName(), QStringLiteral("Fans"));
  }

  void tabFollowsTheReadingOrder_data() {
    QTest::addColumn<QStringList>("order");
    QTest::newRow("Processor and Memory")
        << QStringList{"Text1", "Text2",  "Text3",  "Text4",  "Text5",  "Text6",  "Text8",
                       "Text9", "Text56", "Text13", "Text12", "Text14", "Text15", "Command4"};
    QTest::newRow("Power Supply counts")
        << QStringList{"Text22", "Text25", "Text28", "Text30", "Text32", "Text33",
                       "Text23", "Text18", "Text57", "Text35", "Text38"};
  }

  void tabFollowsTheReadingOrder() {
    QFETCH(QStringList, order);
    window_->activateWindow();
    QWidget* first = control(window_.get(), qPrintable(order.front()));
    bringToFront(first);
    first->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), first);
    for (qsizetype i = 1; i < order.size(); ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget()->objectName(), order[i]);
    }
  }

  // A user quick enough to click before the window has turned its event loop once: on the
  // tab strip, to bring up "Power Supply", then on a box there. The first click, delivered as
  // the window system delivers one, already finds every tab built, and neither is lost.
  void aClickBeforeTheFirstTurnFindsTheWholeWindow() {
    // Where the clicks go, taken from a window that is whole already.
    auto* strip = control<QTabWidget>(window_.get(), "SSTab1")->tabBar();
    QWidget* box = control(window_.get(), "Check1");
    const QPoint onTab = strip->mapTo(window_.get(), strip->tabRect(1).center());
    const QPoint onBox = box->mapTo(window_.get(), QPoint(8, box->height() / 2));

    MainWindow window(detectionOn(desktopMachine()));
    window.winId();  // the window system's window, for the click to be posted to
    QVERIFY(!control(&window, "Check1"));
    const auto clickAt = [&window](QPoint at) {
      for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QCoreApplication::postEvent(
            window.windowHandle(),
            new QMouseEvent(type, at, window.mapToGlobal(at), Qt::LeftButton,
                            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                            Qt::NoModifier));
      }
    };
    bool wholeAtTheClick = false;
    QTabBar* newStrip = control<QTabWidget>(&window, "SSTab1")->tabBar();
    EventSpy spy(newStrip, QEvent::MouseButtonPress,
                 [&] { wholeAtTheClick = control(&window, "Check1") != nullptr; });
    clickAt(onTab);
    window.show();
    QCoreApplication::processEvents();
    QVERIFY(spy.seen());
    QVERIFY(wholeAtTheClick);
    QCOMPARE(control<QTabWidget>(&window, "SSTab1")->currentIndex(), 1);

    clickAt(onBox);
    QTRY_VERIFY(control<QCheckBox>(&window, "Check1")->isChecked());
    QCOMPARE(control<QLabel>(&window, "text7")->text(),
             QStringLiteral("Indicates the existence of any audio adapter"));
  }

  void closingSavesTheGeometryInTwips() {
    userSettings().clear();
    window_->move(40, 30);
    const QRect outer = window_->frameGeometry();
    window_->close();
    QSettings settings = userSettings();
    settings.beginGroup(QStringLiteral("Settings"));
    QCOMPARE(settings.value("MainLeft").toString(), QString::number(outer.left() * 15));
    QCOMPARE(settings.value("MainTop").toString(), QString::number(outer.top() * 15));
    QCOMPARE(settings.value("MainWidth").toString(), QString::number(outer.width() * 15));
    QCOMPARE(settings.value("MainHeight").toString(), QString::number(outer.height() * 15));
    QVERIFY(outer.width() * 15 >= 7035);
  }

  void closingMinimizedSavesNothing() {
    {
      QSettings settings = userSettings();
      settings.clear();
      settings.setValue(QStringLiteral("Settings/MainLeft"), QStringLiteral("previous"));
    }
    window_->showMinimized();
    QTRY_VERIFY(window_->isMinimized());
    window_->close();
    QSettings settings = userSettings();
    QCOMPARE(settings.value("Settings/MainLeft").toString(), QStringLiteral("previous"));
    QVERIFY(!settings.contains(QStringLiteral("Settings/MainWidth")));
  }

  void closingClosesTheOtherWindowsFirst() {
    auto* other = new QDialog(window_.get());
    other->show();
    bool otherOpenWhenSaved = true;
    connect(other, &QDialog::finished, this, [&] { otherOpenWhenSaved = false; });
    window_->close();
    QVERIFY(!other->isVisible());
    QVERIFY(!otherOpenWhenSaved);
  }

 private:
  std::unique_ptr<MainWindow> window_;
};

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
