// Captions wider than their labels in the fonts at hand are drawn whole: with the letters
// closer when a little too wide, in a smaller size when far too wide, untouched when they fit.
#include <QFontMetrics>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QTest>

#include "lazy_icon.h"
#include "look.h"
#include "startup.h"
#include "window_test_support.h"

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
