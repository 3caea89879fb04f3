// Each tab of the main window and each converter dialog, drawn offscreen in a fixed set of
// fonts on a fixed machine, must match its reference picture pixel for pixel, at the scale
// the run is given (QT_SCALE_FACTOR). A change to how the window is built may make it
// faster, never different; and a desktop theme (a dark palette, other fonts) changes
// nothing either: the same pictures are the references under every theme.
//   tst_screenshots                      compares with tests/data/screenshots/scale-N/
//   tst_screenshots --write-references   writes those pictures instead, after a change that
//                                        is meant to alter the look
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QStyleHints>
#include <QTabWidget>
#include <QTest>
#include <cstring>
#include <iterator>
#include <memory>
#include <vector>

#include "airflow.h"
#include "desktop_theme.h"
#include "facts.h"
#include "main_window.h"
#include "qt_text.h"
#include "temperature.h"
#include "tool_dialog_test_support.h"
#include "vram.h"
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

QString referencePath(const QString& picture) {
  return QStringLiteral(FREQSMITH_TEST_DATA "/screenshots/scale-%1/%2.png").arg(scale(), picture);
}

// What a window shows once it is up, under a theme that sets the application's palette and
// font again when the event loop first turns, before the tabs not in front are built (as
// qt6ct does), and again once the window is up (as any theme does when the user changes it).
QImage shownTab(int tab, ImposedTheme& theme) {
  MainWindow window(detectionOn(machine()));
  theme.setAgain();
  window.show();
  if (!QTest::qWaitForWindowExposed(&window) || !detectionDone(window)) return {};
  theme.setAgain();
  control<QTabWidget>(&window, "SSTab1")->setCurrentIndex(tab);
  QCoreApplication::processEvents();
  return window.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage shownDialog(const freqsmith::ToolWindow& tool, ImposedTheme& theme) {
  const std::unique_ptr<freqsmith::ToolDialog> dialog = showDialog(tool);
  theme.setAgain();
  QCoreApplication::processEvents();
  return dialog->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

int differingPixels(const QImage& shown, const QImage& reference) {
  if (shown.size() != reference.size()) return -1;
  int differing = 0;
  for (int y = 0; y < shown.height(); ++y) {
    for (int x = 0; x < shown.width(); ++x) {
      differing += shown.pixel(x, y) != reference.pixel(x, y) ? 1 : 0;
    }
  }
  return differing;
}

const freqsmith::ToolWindow* const kDialogs[] = {
    &freqsmith::tempcalc::kWindow, &freqsmith::vram::kWindow, &freqsmith::airflow::kWindow};

}  // namespace

class ScreenshotTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    prepareUiTesting();
    // A caret that blinks would be in some pictures and not in others.
    QGuiApplication::styleHints()->setCursorFlashTime(0);
  }

  void everyWindowLooksAsItsReference_data() {
    QTest::addColumn<DesktopTheme>("theme");
    QTest::addColumn<int>("tab");  // of the main window; -1 for a dialog
    QTest::addColumn<int>("dialog");
    QTest::addColumn<QString>("picture");
    // The references are written without a theme; the themes only compare.
    std::vector<DesktopTheme> themes{DesktopTheme::None};
    if (!writeReferences)
      themes.insert(themes.end(), {DesktopTheme::Dark, DesktopTheme::OtherFonts});
    for (const DesktopTheme theme : themes) {
      for (int tab = 0; tab < 4; ++tab) {
        const QString picture = QStringLiteral("tab-%1").arg(tab + 1);
        QTest::newRow(qPrintable(picture + QStringLiteral(", ") + themeName(theme)))
            << theme << tab << -1 << picture;
      }
      for (int dialog = 0; dialog < static_cast<int>(std::size(kDialogs)); ++dialog) {
        const QString picture =
            QStringLiteral("dialog-%1")
                .arg(freqsmith::toQString(kDialogs[dialog]->controls.front().name));
        QTest::newRow(qPrintable(picture + QStringLiteral(", ") + themeName(theme)))
            << theme << -1 << dialog << picture;
      }
    }
  }

  void everyWindowLooksAsItsReference() {
    QFETCH(DesktopTheme, theme);
    QFETCH(int, tab);
    QFETCH(int, dialog);
    QFETCH(QString, picture);
    // Before any window is made, as a theme is there before the program.
    ImposedTheme imposed(theme);
    const QImage shown =
        tab >= 0 ? shownTab(tab, imposed) : shownDialog(*kDialogs[dialog], imposed);
    QVERIFY(!shown.isNull());

    const QString path = referencePath(picture);
    if (writeReferences) {
      QVERIFY(QDir().mkpath(QFileInfo(path).path()));
      QVERIFY2(shown.save(path), qPrintable(path));
      qInfo("wrote %s", qPrintable(path));
      return;
    }
    const QImage reference = QImage(path).convertToFormat(QImage::Format_RGB32);
    QVERIFY2(!reference.isNull(), qPrintable("no reference picture " + path));
    if (shown == reference) return;
    const QString failed =
        QDir::temp().filePath(QStringLiteral("tst_screenshots-scale-%1-%2-%3.png")
                                  .arg(scale(), picture, themeName(theme).replace(u' ', u'-')));
    shown.save(failed);
    QFAIL(qPrintable(QStringLiteral("%1 under %2 differs from %3 (%4 x %5 against %6 x %7, %8 "
                                    "pixels differ); what it shows now is in %9")
                         .arg(picture, themeName(theme), path)
                         .arg(shown.width())
                         .arg(shown.height())
                         .arg(reference.width())
                         .arg(reference.height())
                         .arg(differingPixels(shown, reference))
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
