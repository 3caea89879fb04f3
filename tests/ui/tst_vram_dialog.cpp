// The memory timing converter Form2 driven through real key and mouse events: its shape,
// Convert, the input guard on every click, the second result that doubles the first as
// shown, the filter without guard, the fault balloon and the fresh start after a close.
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolTip>

#include "tool_dialog_test_support.h"
#include "vram.h"
#include "window_test_support.h"

using namespace freqsmith::testing;

class VramDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { prepareUiTesting(); }
  void init() { dialog_ = showDialog(freqsmith::vram::kWindow); }
  void cleanup() {
    QToolTip::hideText();
    dialog_.reset();
  }

  void isAFixedToolWindowWithACloseBoxOnly() {
    QCOMPARE(dialog_->objectName(), QStringLiteral("Form2"));
    QCOMPARE(dialog_->windowTitle(), QStringLiteral("VRAM Ns Converter"));
    QCOMPARE(dialog_->size(), QSize(227, 60));
    QCOMPARE(dialog_->minimumSize(), dialog_->maximumSize());
    QCOMPARE(dialog_->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    QVERIFY(dialog_->windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!(dialog_->windowFlags() & Qt::WindowMinMaxButtonsHint));
  }

  void showsItsTextsAndTooltips_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tooltip");
    const auto row = [](const char* name, const char* text, const char* tooltip) {
      QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(text)
                          << QString::fromLatin1(tooltip);
    };
    row("Label35", "Ns Rating", "");
    row("Text17", "2.8", "Your VRAM Ns Rating");
    row("Label34", "Ns =", "");
    row("Label36", "SDRAM", "");
    row("Text18", "357.1", "Resulting speed");
    row("Label39", "Mhz", "");
    row("Label41", "DDR SRAM", "");
    row("Text19", "714.2", "Resulting speed");
    row("Label38", "Mhz", "");
    row("Command2", "Convert", "");
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
    QCOMPARE(shown, text);
    QCOMPARE(widget->toolTip(), tooltip);
    QVERIFY(dialog_->rect().contains(widget->geometry()));
  }

  void resultsAreLockedAndLightOnBlack() {
    for (const char* name : {"Text18", "Text19"}) {
      auto* result = control<QLineEdit>(dialog_.get(), name);
      QVERIFY(result->isReadOnly());
      QCOMPARE(result->palette().color(QPalette::Base), QColor(Qt::black));
      QCOMPARE(result->palette().color(QPalette::Text), QColor(192, 255, 255));
    }
    QVERIFY(!control<QLineEdit>(dialog_.get(), "Text17")->isReadOnly());
  }

  void converts_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("sdram");
    QTest::addColumn<QString>("ddr");
    QTest::newRow("2.8") << "{all}2.8"
                         << "2.8"
                         << "357.1"
                         << "714.2";
    QTest::newRow("5") << "{all}5"
                       << "5"
                       << "200"
                       << "400";
    QTest::newRow("3") << "{all}3"
                       << "3"
                       << "333.3"
                       << "666.6";
    QTest::newRow("6") << "{all}6"
                       << "6"
                       << "166.6"
                       << "333.2";
    QTest::newRow("empty") << "{all}{bs}"
                           << "0.1"
                           << "10000"
                           << "20000";
    QTest::newRow("0") << "{all}0"
                       << "0.1"
                       << "10000"
                       << "20000";
    QTest::newRow("0.01 shown whole") << "{all}0.01"
                                      << "0.01"
                                      << "100000"
                                      << "200000";
  }

  void converts() {
    QFETCH(QString, keys);
    QFETCH(QString, input);
    QFETCH(QString, sdram);
    QFETCH(QString, ddr);
    auto* text17 = control<QLineEdit>(dialog_.get(), "Text17");
    text17->setFocus();
    typeKeys(text17, keys);
    click(control(dialog_.get(), "Command2"));
    QCOMPARE(text17->text(), input);
    auto* text18 = control<QLineEdit>(dialog_.get(), "Text18");
    auto* text19 = control<QLineEdit>(dialog_.get(), "Text19");
    QCOMPARE(text18->text(), sdram);
    QCOMPARE(text19->text(), ddr);
    for (QLineEdit* result : {text18, text19}) {
      QVERIFY(QFontMetrics(result->font()).horizontalAdvance(result->text()) < result->width() - 4);
    }
  }

  void clickingTheClearedInputGuardsIt() {
    auto* text17 = control<QLineEdit>(dialog_.get(), "Text17");
    typeKeys(text17, QStringLiteral("{all}{bs}"));
    QCOMPARE(text17->text(), QString());
    click(text17);
    QCOMPARE(text17->text(), QStringLiteral("0.1"));
    QCOMPARE(control<QLineEdit>(dialog_.get(), "Text18")->text(), QStringLiteral("357.1"));
  }

  void theSecondResultDoublesTheOldFirst() {
    auto* text17 = control<QLineEdit>(dialog_.get(), "Text17");
    typeKeys(text17, QStringLiteral("{all}5"));
    click(control(dialog_.get(), "Text19"));
    QCOMPARE(control<QLineEdit>(dialog_.get(), "Text19")->text(), QStringLiteral("714.2"));
    click(control(dialog_.get(), "Text18"));
    QCOMPARE(control<QLineEdit>(dialog_.get(), "Text18")->text(), QStringLiteral("200"));
    click(control(dialog_.get(), "Text19"));
    QCOMPARE(control<QLineEdit>(dialog_.get(), "Text19")->text(), QStringLiteral("400"));
  }

  void filtersKeysWithoutAGuard_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("result");
    QTest::newRow("a minus is refused") << ""
                                        << "-"
                                        << "";
    QTest::newRow("a letter is refused") << "2.8"
                                         << "{end}n"
                                         << "2.8";
    QTest::newRow("the empty field is left alone") << ""
                                                   << "x"
                                                   << "";
    QTest::newRow("a point is accepted") << ""
                                         << "."
                                         << ".";
    QTest::newRow("a rating typed") << ""
                                    << "3.5"
                                    << "3.5";
    QTest::newRow("a fifth character is refused") << ""
                                                  << "12345"
                                                  << "1234";
    QTest::newRow("backspace") << "2.8"
                               << "{end}{bs}"
                               << "2.";
  }

  void filtersKeysWithoutAGuard() {
    QFETCH(QString, start);
    QFETCH(QString, keys);
    QFETCH(QString, result);
    auto* text17 = control<QLineEdit>(dialog_.get(), "Text17");
    text17->setText(start);
    text17->setFocus();
    typeKeys(text17, keys);
    QCOMPARE(text17->text(), result);
  }

  void faultsAreExplainedUnderTheirField_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("about");
    QTest::addColumn<QString>("sentence");
    QTest::newRow("zero as 0.0") << "{all}0.0"
                                 << "Text18"
                                 << "\"SDRAM\" cannot be calculated: it would divide by zero.";
    QTest::newRow("a lone point") << "{all}."
                                  << "Text17"
                                  << "\"Ns Rating\" holds \".\", which is not a number.";
    QTest::newRow("two points") << "{all}1.2."
                                << "Text17"
                                << "\"Ns Rating\" holds \"1.2.\", which is not a number.";
  }

  void faultsAreExplainedUnderTheirField() {
    QFETCH(QString, keys);
    QFETCH(QString, about);
    QFETCH(QString, sentence);
    auto* text17 = control<QLineEdit>(dialog_.get(), "Text17");
    typeKeys(text17, keys);
    click(control(dialog_.get(), "Command2"));
    QCOMPARE(control<QLineEdit>(dialog_.get(), "Text18")->text(), QStringLiteral("357.1"));
    QCOMPARE(control<QLineEdit>(dialog_.get(), "Text19")->text(), QStringLiteral("714.2"));
    QCOMPARE(balloonText(), sentence);
    QVERIFY(balloonIsUnder(control(dialog_.get(), qPrintable(about))));
  }

  void aPastedMinusIsExplainedToo() {
    auto* text17 = control<QLineEdit>(dialog_.get(), "Text17");
    QApplication::clipboard()->setText(QStringLiteral("-"));
    text17->clear();
    text17->paste();
    click(control(dialog_.get(), "Text18"));
    QCOMPARE(balloonText(), QStringLiteral("\"Ns Rating\" holds \"-\", which is not a number."));
    QCOMPARE(control<QLineEdit>(dialog_.get(), "Text18")->text(), QStringLiteral("357.1"));
  }

  void closeStartsTheNextOpeningFresh_data() {
    QTest::addColumn<bool>("byCaptionBar");
    QTest::newRow("Close button") << false;
    QTest::newRow("caption bar") << true;
  }

  void closeStartsTheNextOpeningFresh() {
    QFETCH(bool, byCaptionBar);
    typeKeys(control(dialog_.get(), "Text17"), QStringLiteral("{all}.001"));
    click(control(dialog_.get(), "Command2"));
    auto* text18 = control<QLineEdit>(dialog_.get(), "Text18");
    const QFont wide = text18->font();
    QCOMPARE(text18->text(), QStringLiteral("1000000"));
    if (byCaptionBar) {
      closeByCaptionBar(dialog_.get());
    } else {
      click(control(dialog_.get(), "Command1"));
    }
    QVERIFY(!dialog_->isVisible());
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog_.get()));
    QCOMPARE(control<QLineEdit>(dialog_.get(), "Text17")->text(), QStringLiteral("2.8"));
    QCOMPARE(text18->text(), QStringLiteral("357.1"));
    QCOMPARE(control<QLineEdit>(dialog_.get(), "Text19")->text(), QStringLiteral("714.2"));
    QVERIFY(text18->font().pointSizeF() > wide.pointSizeF());
  }

 private:
  std::unique_ptr<freqsmith::ToolDialog> dialog_;
};

QTEST_MAIN(VramDialogTest)
#include "tst_vram_dialog.moc"
