// Each tab of the main window, drawn offscreen in a fixed set of fonts on a fixed machine,
// must match its reference picture pixel for pixel, at the scale the run is given
// (QT_SCALE_FACTOR). A change to how the window is built may make it faster, never different.
//   tst_screenshots                      compares with tests/data/screenshots/scale-N/
//   tst_screenshots --write-references   writes those pictures instead, after a change that
//                                        is meant to alter the look
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTabWidget>
#include <QTest>
#include <cstring>
#include <memory>

#include "facts.h"
#include "main_window.h"
#include "window_test_support.h"

using freqsmith::MainWindow;
using freqsmith::detect::Hardware;
using namespace freqsmith::testing;

namespace {

bool writeReferences = false;

Hardware machine() {
  constexpr auto wmi = freqsmith::detect::Source::Wmi;
  return {.processor = {.maker = {"AuthenticAMD", wmi},
                        .busMhz = {200, wmi},
                        .speedMhz = {2200, wmi},
                        .level2Kb = {512, wmi},
                        .name = {"Test Processor 3500+", wmi},
                        .socket = {"Socket 939", wmi}},
          .board = {.maker = {"Board Maker", wmi}, .product = {"BM-7", wmi}},
          .bios = {.version = {"BIOS 1.07", wmi}}};
}

QString scale() {
  const QString set = qEnvironmentVariable("QT_SCALE_FACTOR");
  return set.isEmpty() ? QStringLiteral("1") : set;
}

QString referencePath(int tab) {
  return QStringLiteral(FREQSMITH_TEST_DATA "/screenshots/scale-%1/tab-%2.png")
      .arg(scale())
      .arg(tab + 1);
}

}  // namespace

class ScreenshotTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { prepareUiTesting(); }

  void everyTabLooksAsItsReference_data() {
    QTest::addColumn<int>("tab");
    for (int tab = 0; tab < 4; ++tab) QTest::newRow(qPrintable(QString::number(tab + 1))) << tab;
  }

  void everyTabLooksAsItsReference() {
    QFETCH(int, tab);
    MainWindow window(detectionOn(machine()));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(detectionDone(window));
    auto* tabs = control<QTabWidget>(&window, "SSTab1");
    QVERIFY(tabs);
    tabs->setCurrentIndex(tab);
    QCoreApplication::processEvents();
    const QImage shown = window.grab().toImage().convertToFormat(QImage::Format_RGB32);

    const QString path = referencePath(tab);
    if (writeReferences) {
      QVERIFY(QDir().mkpath(QFileInfo(path).path()));
      QVERIFY2(shown.save(path), qPrintable(path));
      qInfo("wrote %s", qPrintable(path));
      return;
    }
    const QImage reference = QImage(path).convertToFormat(QImage::Format_RGB32);
    QVERIFY2(!reference.isNull(), qPrintable("no reference picture " + path));
    if (shown == reference) return;
    const QString failed = QDir::temp().filePath(
        QStringLiteral("tst_screenshots-scale-%1-tab-%2.png").arg(scale()).arg(tab + 1));
    shown.save(failed);
    int differing = 0;
    if (shown.size() == reference.size()) {
      for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
          differing += shown.pixel(x, y) != reference.pixel(x, y) ? 1 : 0;
        }
      }
    }
    QFAIL(qPrintable(QStringLiteral("tab %1 differs from %2 (%3 x %4 against %5 x %6, %7 pixels "
                                    "differ); what it shows now is in %8")
                         .arg(tab + 1)
                         .arg(path)
                         .arg(shown.width())
                         .arg(shown.height())
                         .arg(reference.width())
                         .arg(reference.height())
                         .arg(differing)
                         .arg(failed)));
  }
};

int main(int argc, char* argv[]) {
  // Taken out before QTest sees the arguments.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--write-references") == 0) {
      writeReferences = true;
      for (int j = i; j + 1 < argc; ++j) argv[j] = argv[j + 1];
      --argc;
      break;
    }
  }
  QApplication app(argc, argv);
  ScreenshotTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "tst_screenshots.moc"
