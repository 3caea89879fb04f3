// Captions wider than their labels in the fonts at hand are drawn whole: with the letters
// closer when a little too wide, in a smaller size when far too wide, untouched when they fit.
#include <QFontMetrics>
#include <QLabel>
#include <QTest>

#include "look.h"
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
};

QTEST_MAIN(LookTest)
#include "tst_look.moc"
