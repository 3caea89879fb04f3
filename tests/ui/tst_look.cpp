// Texts are seen whole: captions wider than their labels in the fonts at hand are drawn
// with the letters closer when a little too wide, in a smaller size when far too wide,
// untouched when they fit; the explanation line keeps its descenders; a read-only field's
// text wider than the field reads from its start.
#include <QFontMetrics>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QStyle>
#include <QTest>

#include "facts.h"
#include "lazy_icon.h"
#include "look.h"
#include "main_window.h"
#include "main_window_controls.h"
#include "startup.h"
#include "window_test_support.h"

using freqsmith::MainWindow;
using namespace freqsmith::testing;

class LookTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { prepareUiTesting(); }

  void captionsAreFittedToTheirLabels_data() {
    QTest::addColumn<double>("room");  // the label's width as a share of the caption's
    QTest::addColumn<bool>("closer");
    QTest::addColumn<bool>("smaller");
    QTest::newRow("fits") << 1.05 << false << false;
    QTest::newRow("a few letters too wide") << 0.97 << true << false;
    QTest::newRow("far too wide") << 0.8 << false << true;
  }

  void captionsAreFittedToTheirLabels() {
    QFETCH(double, room);
    QFETCH(bool, closer);
    QFETCH(bool, smaller);
    QLabel label(QStringLiteral("Values may not be accurate under some circumstances."));
    label.setFont(freqsmith::smallFont());
    const int natural = QFontMetrics(label.font()).horizontalAdvance(label.text());
    label.resize(static_cast<int>(natural * room), 12);

    freqsmith::fitCaptionToWidth(&label);

    QVERIFY(QFontMetrics(label.font()).horizontalAdvance(label.text()) <=
            label.contentsRect().width());
    QCOMPARE(label.font().letterSpacing() < 0, closer);
    QCOMPARE(label.font().pointSizeF() < freqsmith::smallFont().pointSizeF(), smaller);
  }

  void wrappedCaptionsAreLeftToWrap() {
    QLabel label(QStringLiteral("Did the author really make all of this?"));
    label.setWordWrap(true);
    label.resize(40, 60);
    const QFont before = label.font();
    freqsmith::fitCaptionToWidth(&label);
    QCOMPARE(label.font(), before);
  }

  // Its letters' tails (j, p, g) included, in whatever sentence it shows.
  void theExplanationLineIsSeenWhole_data() {
    QTest::addColumn<QString>("clicked");
    QTest::newRow("at start") << QString();
    QTest::newRow("the line itself") << "text7";
    QTest::newRow("Sys Clk") << "Label5";
    QTest::newRow("L2 Cache Speed") << "Label70";
  }

  void theExplanationLineIsSeenWhole() {
    QFETCH(QString, clicked);
    MainWindow window(detectionOn(freqsmith::detect::Hardware{}));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(detectionDone(window));
    auto* line = control<QLabel>(&window, "text7");
    if (!clicked.isEmpty()) click(control(&window, qPrintable(clicked)));
    QVERIFY(window.rect().contains(line->geometry()));
    const QFontMetrics metrics(line->font());
    const QRect text = QStyle::alignedRect(line->layoutDirection(), line->alignment(),
                                           metrics.size(0, line->text()), line->contentsRect());
    QVERIFY2(line->contentsRect().contains(text),
             qPrintable(QStringLiteral("%1 in a line of %2 pixels")
                            .arg(metrics.height())
                            .arg(line->contentsRect().height())));
    QVERIFY(metrics.descent() > 0);
  }

  void aReadOnlyTextWiderThanItsFieldReadsFromItsStart_data() {
    QTest::addColumn<bool>("answers");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    // Nothing detected: the speed field takes the placeholder of the large figure.
    QTest::newRow("L2 speed of a machine that says nothing") << false << "Textl2speed"
                                                             << "Current Speed";
    QTest::newRow("a long processor name")
        << true << "Textcputype"
        << "Test Processor Extreme Edition with a very long model name, 3.2 GHz";
  }

  void aReadOnlyTextWiderThanItsFieldReadsFromItsStart() {
    QFETCH(bool, answers);
    QFETCH(QString, name);
    QFETCH(QString, text);
    freqsmith::detect::Hardware machine;
    if (answers) {
      machine.processor.maker = {"GenuineIntel", freqsmith::detect::Source::Wmi};
      machine.processor.name = {text.toStdString(), freqsmith::detect::Source::Wmi};
    }
    MainWindow window(detectionOn(machine));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(detectionDone(window));
    auto* field = control<QLineEdit>(&window, qPrintable(name));
    bringToFront(field);
    QCOMPARE(field->text(), text);
    QVERIFY(QFontMetrics(field->font()).horizontalAdvance(text) > field->contentsRect().width());
    // The character at the field's left edge, once the field is drawn (which scrolls its
    // text to show the caret), is the first.
    field->grab();
    const QPoint leftEdge(field->contentsRect().left() + 3, field->height() / 2);
    QCOMPARE(field->cursorPositionAt(leftEdge), 0);
  }

  // The program's icon offers every size it embeds and draws each from the nearest picture:
  // the same pixels as the file of that size, a smaller size scaled down from a larger one.
  void theIconDrawsEachSizeFromItsFile_data() {
    QTest::addColumn<int>("asked");
    QTest::addColumn<int>("file");
    QTest::newRow("16 from 16") << 16 << 16;
    QTest::newRow("32 from 32") << 32 << 32;
    QTest::newRow("24 from 32") << 24 << 32;
    QTest::newRow("48 from 64") << 48 << 64;
    QTest::newRow("128, the largest there is") << 128 << 64;
  }

  void theIconDrawsEachSizeFromItsFile() {
    QFETCH(int, asked);
    QFETCH(int, file);
    const QIcon icon = freqsmith::appIcon();
    QCOMPARE(icon.availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {64, 64}}));
    const QImage drawn = icon.pixmap(QSize(asked, asked)).toImage();
    QPixmap original(QStringLiteral(":/icons/freqsmith-%1.png").arg(file));
    if (asked < file) {
      original = original.scaled(asked, asked, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    QCOMPARE(drawn, original.toImage());
  }

  void aSizeWhosePictureIsMissingDrawsNothing() {
    const QIcon icon =
        freqsmith::lazyIcon({{QStringLiteral(":/icons/freqsmith-16.png"), QSize(16, 16)},
                             {QStringLiteral(":/no-such-picture.png"), QSize(32, 32)}});
    QVERIFY(icon.pixmap(QSize(32, 32)).isNull());
    QCOMPARE(icon.pixmap(QSize(16, 16)).size(), QSize(16, 16));
  }
};

QTEST_MAIN(LookTest)
#include "tst_look.moc"
