// The temperature converter frmtempcalc driven through real key and mouse events: its shape,
// both conversions, the signed decimal filter with its guard, the fault balloon and the
// fresh start after every close.
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolTip>

#include "caption_frame.h"
#include "temperature.h"
#include "tool_dialog_test_support.h"
#include "window_test_support.h"

using namespace freqsmith::testing;

class TemperatureDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { prepareUiTesting(); }
  void init() { dialog_ = showDialog(freqsmith::tempcalc::kWindow); }
  void cleanup() {
    QToolTip::hideText();
    dialog_.reset();
  }

  void isAFixedToolWindowWithACloseBoxOnly() {
    QCOMPARE(dialog_->objectName(), QStringLiteral("frmtempcalc"));
    QCOMPARE(dialog_->windowTitle(), QStringLiteral("Temperature Converter"));
    QCOMPARE(dialog_->size(), QSize(232, 170));
    QCOMPARE(dialog_->minimumSize(), dialog_->maximumSize());
    const Qt::WindowFlags flags = dialog_->windowFlags();
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
  }

  void showsItsTextsAndTooltips_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tooltip");
    const auto row = [](const char* name, const char* text, const char* tooltip) {
      QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(text)
                          << QString::fromLatin1(tooltip);
    };
    row("Frame1", "C to F", "");
    row("Text3", "37", "Temperature in Celsius");
    row("Label1", "Centigrade =", "");
    row("Text4", "98.6", "Temperature in Fahrenheit");
    row("Label2", "Fahrenheit", "");
    row("Command2", "Convert C to F", "");
    row("Frame2", "F to C", "");
    row("Text1", "98.6", "Temperature in Fahrenheit");
    row("Label3", "Fahrenheit =", "");
    row("Text2", "37", "Temperature in Celsius");
    row("Label4", "Centigrade", "");
    row("Command3", "Convert F to C", "");
    row("Command1", "Close", "");
  }

  void showsItsTextsAndTooltips() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, tooltip);
    QWidget* widget = control(dialog_.get(), qPrintable(name));
    QVERIFY(widget);
    QString shown;
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) shown = edit->text();
    if (auto* label = qobject_cast<QLabel*>(widget)) shown = label->text();
    if (auto* button = qobject_cast<QPushButton*>(widget)) shown = button->text();
    if (auto* frame = qobject_cast<freqsmith::CaptionFrame*>(widget)) shown = frame->caption();
    QCOMPARE(shown, text);
    QCOMPARE(widget->toolTip(), tooltip);
    QVERIFY(dialog_->rect().contains(widget->mapTo(dialog_.get(), widget->rect().bottomRight())));
  }

  void resultsAreLockedAndLightOnBlack() {
    for (const char* name : {"Text4", "Text2"}) {
      auto* result = control<QLineEdit>(dialog_.get(), name);
      QVERIFY(result->isReadOnly());
      QCOMPARE(result->palette().color(QPalette::Base), QColor(Qt::black));
      QCOMPARE(result->palette().color(QPalette::Text), QColor(192, 255, 255));
      QCOMPARE(result->alignment(), Qt::AlignCenter);
      QVERIFY(result->font().bold());
    }
    for (const char* name : {"Text3", "Text1"}) {
      auto* input = control<QLineEdit>(dialog_.get(), name);
      QVERIFY(!input->isReadOnly());
      QCOMPARE(input->palette().color(QPalette::Base), QColor(Qt::white));
    }
    QVERIFY(control(dialog_.get(), "Frame1")->font().bold());
    QVERIFY(control(dialog_.get(), "Label1")->font().pointSizeF() <
            control(dialog_.get(), "Text3")->font().pointSizeF());
  }

  void converts_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("shown");
    const auto row = [](const char* what, const char* input, const char* keys, const char* trigger,
                        const char* result, const char* shown) {
      QTest::newRow(what) << QString::fromLatin1(input) << QString::fromLatin1(keys)
                          << QString::fromLatin1(trigger) << QString::fromLatin1(result)
                          << QString::fromLatin1(shown);
    };
    row("37 C", "Text3", "{all}37", "Command2", "Text4", "98.6");
    row("98.6 F", "Text1", "{all}98.6", "Command3", "Text2", "37");
    row("-40 C", "Text3", "{all}-40", "Command2", "Text4", "-40");
    row("-40 F", "Text1", "{all}-40", "Text2", "Text2", "-40");
    row("100 C", "Text3", "{all}100", "Text4", "Text4", "212");
    row("212 F", "Text1", "{all}212", "Command3", "Text2", "100");
    row("32 F", "Text1", "{all}32", "Command3", "Text2", "0");
    row("0 F is cut", "Text1", "{all}0", "Command3", "Text2", "-17.");
    row("100 F is cut", "Text1", "{all}100", "Text2", "Text2", "37.7");
    row("36.6 C", "Text3", "{all}36.6", "Command2", "Text4", "97.8");
    row("9999 C keeps its digits", "Text3", "{all}9999", "Command2", "Text4", "18030");
  }

  void converts() {
    QFETCH(QString, input);
    QFETCH(QString, keys);
    QFETCH(QString, trigger);
    QFETCH(QString, result);
    QFETCH(QString, shown);
    auto* edit = control<QLineEdit>(dialog_.get(), qPrintable(input));
    edit->setFocus();
    typeKeys(edit, keys);
    click(control(dialog_.get(), qPrintable(trigger)));
    QCOMPARE(control<QLineEdit>(dialog_.get(), qPrintable(result))->text(), shown);
    QCOMPARE(balloonText(), QString());
  }

  void aWideResultIsShownWhole() {
    auto* text3 = control<QLineEdit>(dialog_.get(), "Text3");
    auto* text4 = control<QLineEdit>(dialog_.get(), "Text4");
    typeKeys(text3, QStringLiteral("{all}9999"));
    click(control(dialog_.get(), "Command2"));
    QCOMPARE(text4->text(), QStringLiteral("18030"));
    QVERIFY(QFontMetrics(text4->font()).horizontalAdvance(text4->text()) < text4->width() - 4);
  }

  void anEmptyInputBecomesZero() {
    auto* text1 = control<QLineEdit>(dialog_.get(), "Text1");
    typeKeys(text1, QStringLiteral("{all}{bs}"));
    QCOMPARE(text1->text(), QString());
    click(control(dialog_.get(), "Command3"));
    QCOMPARE(text1->text(), QStringLiteral("0"));
    QCOMPARE(control<QLineEdit>(dialog_.get(), "Text2")->text(), QStringLiteral("-17."));
  }

  void filtersKeys_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("result");
    const auto row = [](const char* what, const char* name, const char* start, const char* keys,
                        const char* result) {
      QTest::newRow(what) << QString::fromLatin1(name) << QString::fromLatin1(start)
                          << QString::fromLatin1(keys) << QString::fromLatin1(result);
    };
    row("a letter into an empty field leaves the guard", "Text3", "", "a", "0");
    row("a digit into an empty field follows the guard", "Text3", "", "5", "05");
    row("the guard in the other input too", "Text1", "", "7", "07");
    row("a fifth character is refused", "Text1", "98.6", "{end}1", "98.6");
    row("a minus into an empty field follows the guard", "Text3", "", "-", "0-");
    row("four characters typed", "Text3", "1", "{all}-12.5", "-12.");
    row("backspace keeps an empty field empty", "Text3", "", "{bs}", "");
    row("tab keeps an empty field empty", "Text1", "", "{tab}", "");
    row("a minus is typed", "Text3", "37", "{all}-5", "-5");
    row("a minus after a digit is typed too", "Text3", "3", "{end}-", "3-");
    row("a selection is typed over", "Text1", "98.6", "{all}451", "451");
    row("letters are refused", "Text1", "12", "{end}abc", "12");
    row("control keys are discarded", "Text3", "12", "{enter}{ctrl+v}", "12");
  }

  void filtersKeys() {
    QFETCH(QString, name);
    QFETCH(QString, start);
    QFETCH(QString, keys);
    QFETCH(QString, result);
    QApplication::clipboard()->setText(QStringLiteral("9"));
    auto* edit = control<QLineEdit>(dialog_.get(), qPrintable(name));
    edit->setText(start);
    edit->setFocus();
    typeKeys(edit, keys);
    QCOMPARE(edit->text(), result);
    QVERIFY(dialog_->isVisible());
  }

  void typingIntoOneConverterLeavesTheOtherAlone() {
    auto* text3 = control<QLineEdit>(dialog_.get(), "Text3");
    typeKeys(text3, QStringLiteral("{all}100"));
    click(control(dialog_.get(), "Command2"));
    QCOMPARE(control<QLineEdit>(dialog_.get(), "Text1")->text(), QStringLiteral("98.6"));
    QCOMPARE(control<QLineEdit>(dialog_.get(), "Text2")->text(), QStringLiteral("37"));
  }

  void pastedTextIsCutButNotFiltered() {
    auto* text3 = control<QLineEdit>(dialog_.get(), "Text3");
    QApplication::clipboard()->setText(QStringLiteral("123456"));
    text3->clear();
    text3->paste();
    QCOMPARE(text3->text(), QStringLiteral("1234"));
    QApplication::clipboard()->setText(QStringLiteral("hot"));
    text3->clear();
    text3->paste();
    QCOMPARE(text3->text(), QStringLiteral("hot"));
  }

  void textThatIsNotANumberIsExplainedInABalloon_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("sentence");
    QTest::newRow("a lone minus") << "Text3"
                                  << "{all}-"
                                  << "Command2"
                                  << "Text4"
                                  << "\"Celsius to convert\" holds \"-\", which is not a number.";
    QTest::newRow("a lone point") << "Text1"
                                  << "{all}."
                                  << "Text2"
                                  << "Text2"
                                  << "\"Fahrenheit to convert\" holds \".\", which is not a "
                                     "number.";
    QTest::newRow("two points") << "Text1"
                                << "{all}1.2."
                                << "Command3"
                                << "Text2"
                                << "\"Fahrenheit to convert\" holds \"1.2.\", which is not a "
                                   "number.";
    QTest::newRow("a minus after a digit") << "Text3"
                                           << "{all}3-4"
                                           << "Text4"
                                           << "Text4"
                                           << "\"Celsius to convert\" holds \"3-4\", which is "
                                              "not a number.";
  }

  void textThatIsNotANumberIsExplainedInABalloon() {
    QFETCH(QString, input);
    QFETCH(QString, keys);
    QFETCH(QString, trigger);
    QFETCH(QString, result);
    QFETCH(QString, sentence);
    auto* edit = control<QLineEdit>(dialog_.get(), qPrintable(input));
    auto* shown = control<QLineEdit>(dialog_.get(), qPrintable(result));
    const QString before = shown->text();
    typeKeys(edit, keys);
    click(control(dialog_.get(), qPrintable(trigger)));
    QCOMPARE(shown->text(), before);
    QCOMPARE(balloonText(), sentence);
    QVERIFY(balloonIsUnder(edit));

    typeKeys(edit, QStringLiteral("{all}5"));
    click(control(dialog_.get(), qPrintable(trigger)));
    QVERIFY(shown->text() != before);
    QTRY_COMPARE(balloonText(), QString());
  }

  void closeStartsTheNextOpeningFresh_data() {
    QTest::addColumn<int>("how");
    QTest::newRow("Close button") << 0;
    QTest::newRow("caption bar") << 1;
    QTest::newRow("Escape") << 2;
  }

  void closeStartsTheNextOpeningFresh() {
    QFETCH(int, how);
    auto* text3 = control<QLineEdit>(dialog_.get(), "Text3");
    auto* text1 = control<QLineEdit>(dialog_.get(), "Text1");
    typeKeys(text3, QStringLiteral("{all}100"));
    click(control(dialog_.get(), "Command2"));
    typeKeys(text1, QStringLiteral("{all}-"));
    click(control(dialog_.get(), "Command3"));
    QVERIFY(!balloonText().isEmpty());
    QCOMPARE(control<QLineEdit>(dialog_.get(), "Text4")->text(), QStringLiteral("212"));

    if (how == 0) click(control(dialog_.get(), "Command1"));
    if (how == 1) closeByCaptionBar(dialog_.get());
    if (how == 2) QTest::keyClick(control(dialog_.get(), "Command2"), Qt::Key_Escape);
    QVERIFY(!dialog_->isVisible());
    QCOMPARE(balloonText(), QString());

    dialog_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog_.get()));
    QCOMPARE(text3->text(), QStringLiteral("37"));
    QCOMPARE(control<QLineEdit>(dialog_.get(), "Text4")->text(), QStringLiteral("98.6"));
    QCOMPARE(text1->text(), QStringLiteral("98.6"));
    QCOMPARE(control<QLineEdit>(dialog_.get(), "Text2")->text(), QStringLiteral("37"));
  }

 private:
  std::unique_ptr<freqsmith::ToolDialog> dialog_;
};

QTEST_MAIN(TemperatureDialogTest)
#include "tst_temperature_dialog.moc"
