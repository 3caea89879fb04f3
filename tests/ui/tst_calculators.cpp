// The two calculator tabs and the commands under them, driven by real keys and clicks.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "facts.h"
#include "main_window.h"
#include "window_test_support.h"

using freqsmith::MainWindow;
using freqsmith::detect::Hardware;
using namespace freqsmith::testing;

namespace {

Hardware machine(std::int64_t systemClock, std::int64_t cpuClock) {
  using freqsmith::detect::Source;
  return {.processor = {.maker = {"GenuineIntel", Source::Wmi},
                        .busMhz = {systemClock, Source::Wmi},
                        .speedMhz = {cpuClock, Source::Wmi}}};
}

}  // namespace

class CalculatorsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { prepareUiTesting(); }

  void init() {
    window_ = std::make_unique<MainWindow>(detectionOn(machine(200, 2000)));
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    QVERIFY(detectionDone(*window_));
  }

  void cleanup() { window_.reset(); }

  void theWorkedExampleThroughKeysAndCalculate() {
    type("Text1", "{all}200");
    type("Text2", "{all}10");
    click(control(window_.get(), "Command2"));
    const std::pair<const char*, const char*> expected[] = {
        {"Text3", "2000"},   {"Text4", "400"},   {"Text5", "800"},
        {"Text6", "800"},    {"Text8", "18000"}, {"Text9", "24000"},
        {"Text56", "12000"}, {"Text14", "200"},  {"Text15", "400"}};
    for (const auto& [name, value] : expected) QCOMPARE(text(name), QString::fromLatin1(value));
    QCOMPARE(line(), QStringLiteral("Values calculated"));
  }

  void aResultRecomputesOnlyWhenClicked() {
    type("Text1", "{all}133.3");
    type("Text2", "{all}10.5");
    QCOMPARE(text("Text3"), QStringLiteral("0"));
    click(edit("Text3"));
    QCOMPARE(text("Text3"), QStringLiteral("1399.6"));
    QCOMPARE(line(), QStringLiteral("This is your overall CPU Speed."));
    click(edit("Text8"));
    QCOMPARE(text("Text8"), QStringLiteral("12596.4"));
    type("Text1", "{all}100");
    QCOMPARE(text("Text8"), QStringLiteral("12596.4"));
  }

  void aPastedZeroRatioStopsCalculate() {
    type("Text1", "{all}200");
    QApplication::clipboard()->setText(QStringLiteral("0"));
    edit("Text13")->selectAll();
    edit("Text13")->paste();
    QCOMPARE(text("Text13"), QStringLiteral("0"));
    click(control(window_.get(), "Command2"));
    QCOMPARE(line(), QStringLiteral("\"SDRAM\" cannot be calculated: it would divide by zero."));
    QCOMPARE(text("Text14"), QStringLiteral("0"));
    QCOMPARE(text("Text37"), QStringLiteral("0"));  // Calculate stopped before the total
  }

  void powerSupplySentences_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("sentence");
    const auto row = [](const char* name, const char* sentence) {
      QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(sentence);
    };
    row("Label42", "The amound of fans you have in your system");
    row("Text22", "The amound of fans you have in your system");
    row("Label43", "The amount of Neons or Cold Cathodes in your system");
    row("Label44", "How many Hard Disk Drives you have in your system");
    row("Text30", "How many CD, CDRW, or DVD ROM's you have in your system");
    row("Label46", "How many Floppy, Zip, or LS-120 Drives you have in your system");
    row("Text33", "The number of USB devices (not mouse or keyboard) you are using");
    row("Label47", "The number of Firewire devices you are using");
    row("Text18", "The combined number of mice and keyboards you are using");
    row("Label48", "The total number of RAM modules in your system");
    row("Label49", "Your System Clock in Mhz (note: this is NOT your Frintside Bus)");
    row("Text35", "Your System Clock in Mhz (note: this is NOT your Frintside Bus)");
    row("Text38", "Watts per Fan (you can change this)");
    row("Text39", "Watts per Neon or Cold Cathode (you can change this)");
    row("Text40", "Watts per Hard Drive (you can change this)");
    row("Text41", "Watts per CD, CDRW, or DVD ROM (you can change this)");
    row("Text42", "Watts per Floppy, Zip, and LS-120 Drive (you can change this)");
    row("Text43", "Watts per USB device (you can change this)");
    row("Text44", "Watts per Firewire device (you can change this)");
    row("Text20", "Watts per Keyboard / Mouse (you can change this, but probably shouldnt)");
    row("Text59", "Watts per RAM Module (you can change this)");
    row("Text45", "System clock Wattage multiplier (you can change this, but probably shouldnt)");
    row("Text21", "Total watts used by the fans in your system");
    row("Text26", "Total watts used by the Neon's or CCFL's in your system");
    row("Text27", "Total watts used by the Hard Drives in your system");
    row("Text29", "Total watts used by the Optical Drives in your system");
    row("Text31", "Total watts used by the Floppy, Zip, or LS-120 Drives in your system");
    row("Text34", "Total watts used by the USB Devices in your system");
    row("Text24", "Total watts used by the Firewire Devices in your system");
    row("Text19", "Total watts used by the keyboards and mice connected to your system");
    row("Text58", "Total watts used by the RAM Modules in your system");
    row("Text36", "Total watts used by your systems motherboard");
    row("Text37", "This is the bare MINIMUM you should consider for a new PSU");
    row("Check1", "Indicates the existence of any audio adapter");
    row("Check2", "Indicates the existence of any TV Tuner card");
    row("Check3", "Indicates the existence of any SCSI controller");
    row("Check4", "Indicates the existence of any dialup or ISDN modem");
    row("Check5", "Indicates the existence of any network interface");
    row("Check6", "Indicates the existence of any USB controller");
    row("Check7", "Indicates the existence of any Firewire controller");
    row("Check8", "Indicates a Celeron or Pentium system");
    row("Check9", "Indicates a Pentium 2 system");
    row("Check10", "Indicates a Pentium 3 system");
    row("Check11", "Indicates a Pentium 4 system");
    row("Check12", "Indicates an Athlon or Duron system");
    row("Check13", "Indicates an Athlon XP or Athlon 64 system");
    row("Check15", "Indicates a dual CPU system");
    row("Check14", "Indicates a Geforce FX class graphics adapter in your system");
    row("Check16", "Indicates a Geforce MX class graphics adapter in your system");
    row("Check17", "Indicates a Geforce Titanium class graphics adapter in your system");
    row("Check18", "Indicates a Geforce 6800 or Radeon x800 (or higher) in your system");
    row("Check19", "Indicates a Radeon 9700 thru x700 class graphics adapter in your system");
    row("Check20", "Indicates a Radeon 7000 thru 9600 class graphics adapter in your system");
    row("Check21", "Indicates a 32MB (or less) graphics adapter in your system");
  }

  void powerSupplySentences() {
    QFETCH(QString, name);
    QFETCH(QString, sentence);
    QWidget* target = control(window_.get(), qPrintable(name));
    QVERIFY(target);
    click(target);
    QCOMPARE(line(), sentence);
  }

  void theTypicalSystemNeeds359And429Watts() {
    click(control(window_.get(), "Command7"));
    QCOMPARE(line(), QStringLiteral("Wattage defaults loaded"));
    for (const auto& [name, keys] :
         std::initializer_list<std::pair<const char*, const char*>>{{"Text22", "{all}3"},
                                                                    {"Text28", "{all}2"},
                                                                    {"Text30", "{all}1"},
                                                                    {"Text32", "{all}1"},
                                                                    {"Text33", "{all}2"},
                                                                    {"Text18", "{all}2"},
                                                                    {"Text57", "{all}2"},
                                                                    {"Text35", "{all}200"}}) {
      type(name, keys);
    }
    for (const char* b : {"Check13", "Check1", "Check5", "Check14"}) click(box(b));
    click(control(window_.get(), "Command2"));
    QCOMPARE(text("Text37"), QStringLiteral("359"));
    click(box("Check15"));
    click(control(window_.get(), "Command2"));
    QCOMPARE(text("Text37"), QStringLiteral("429"));
    QCOMPARE(text("Text16"), QStringLiteral("70"));
  }

  void exclusiveGroupsByMouse() {
    click(box("Check12"));
    click(box("Check11"));
    QVERIFY(box("Check11")->isChecked());
    QVERIFY(!box("Check12")->isChecked());
    QCOMPARE(line(), QStringLiteral("Indicates a Pentium 4 system"));
    click(box("Check18"));
    click(box("Check14"));
    QVERIFY(!box("Check18")->isChecked());
    QVERIFY(box("Check11")->isChecked());  // the other group is untouched
    click(box("Check14"));
    for (const char* b :
         {"Check14", "Check16", "Check17", "Check18", "Check19", "Check20", "Check21"}) {
      QVERIFY2(!box(b)->isChecked(), b);
    }
  }

  void aLargeLineShowsWholeInItsField() {
    type("Text28", "{all}50");
    click(control(window_.get(), "Command2"));
    QLineEdit* disks = edit("Text27");
    QCOMPARE(disks->text(), QStringLiteral("1250"));
    QCOMPARE(text("Text37"), QStringLiteral("1250"));
    QVERIFY(QFontMetrics(disks->font()).horizontalAdvance(disks->text()) <= disks->width() - 8);
  }

  void resetClearsBothTabs() {
    type("Text1", "{all}200");
    type("Text22", "{all}4");
    type("Text38", "{all}9");
    click(box("Check11"));
    click(control(window_.get(), "Command2"));
    click(control(window_.get(), "Command3"));
    QCOMPARE(line(), QStringLiteral("Values reset"));
    QVERIFY(!box("Check11")->isChecked());
    for (const char* name : {"Text1", "Text3", "Text22", "Text21", "Text52", "Text37"}) {
      QCOMPARE(text(name), QStringLiteral("0"));
    }
    QCOMPARE(text("Text38"), QStringLiteral("9"));
    QCOMPARE(text("Text13"), QStringLiteral("1"));
  }

  void detectCopiesTheDetectedFigures() {
    type("Text1", "{all}133");
    click(control(window_.get(), "Command4"));
    QCOMPARE(text("Text1"), QStringLiteral("200"));
    QCOMPARE(text("Text2"), QStringLiteral("10"));
    QCOMPARE(text("Text35"), QStringLiteral("200"));
    QCOMPARE(text("Text3"), QStringLiteral("2000"));
    QCOMPARE(line(), QStringLiteral("Using system settings instead of user settings"));
  }

  void detectWithoutDetectionLeavesTheInputs() {
    MainWindow window(detectionOn(Hardware{}));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(detectionDone(window));
    auto* text1 = control<QLineEdit>(&window, "Text1");
    bringToFront(text1);
    typeKeys(text1, QStringLiteral("{all}133"));
    click(control(&window, "Command4"));
    QCOMPARE(text1->text(), QStringLiteral("133"));
    QCOMPARE(control<QLineEdit>(&window, "Text3")->text(), QStringLiteral("0"));
    QCOMPARE(
        control<QLabel>(&window, "text7")->text(),
        QStringLiteral(
            "The system settings could not be detected, so the inputs were left as they are."));
  }

  void fieldsWearTheirRoleColours() {
    const auto base = [this](const char* name) {
      return edit(name)->palette().color(QPalette::Base);
    };
    QCOMPARE(base("Text1"), QColor(Qt::white));
    QCOMPARE(base("Text22"), QColor(Qt::white));
    QCOMPARE(base("Text38"), QColor(227, 225, 251));
    QCOMPARE(base("Text21"), QColor(Qt::black));
    QCOMPARE(edit("Text21")->palette().color(QPalette::Text), QColor(192, 255, 255));
    QVERIFY(edit("Text37")->font().pointSizeF() > edit("Text21")->font().pointSizeF());
    QVERIFY(edit("Text3")->isReadOnly());
    QVERIFY(!edit("Text38")->isReadOnly());
  }

 private:
  QLineEdit* edit(const char* name) { return control<QLineEdit>(window_.get(), name); }
  QCheckBox* box(const char* name) { return control<QCheckBox>(window_.get(), name); }
  // Line edits and hidden fields both carry a "text" property.
  QString text(const char* name) {
    return control(window_.get(), name)->property("text").toString();
  }
  QString line() { return control<QLabel>(window_.get(), "text7")->text(); }
  void type(const char* name, const char* keys) {
    QLineEdit* target = edit(name);
    QVERIFY(target);
    bringToFront(target);
    typeKeys(target, QString::fromLatin1(keys));
  }

  std::unique_ptr<MainWindow> window_;
};

QTEST_MAIN(CalculatorsTest)
#include "tst_calculators.moc"
