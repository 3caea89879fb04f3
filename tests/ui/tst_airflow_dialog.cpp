// The airflow converter Form3 driven through real key and mouse events: its shape and
// colours, Calculate, single subtotals and totals, the one-character counts, the decimal
// filter on all twenty inputs, the fault balloon and the fresh start after a close.
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolTip>

#include "airflow.h"
#include "caption_frame.h"
#include "tool_dialog_test_support.h"
#include "window_test_support.h"

using namespace freqsmith::testing;

namespace {

// Count and airflow fields, intake then exhaust, frame by frame.
constexpr const char* kInputs[] = {
    "Text98",  "Text96",  "Text97",  "Text95",  "Text91",  "Text93",  "Text92",
    "Text94",  "Text113", "Text111", "Text112", "Text99",  "Text117", "Text115",
    "Text116", "Text114", "Text121", "Text119", "Text120", "Text118",
};
constexpr const char* kCounts[] = {"Text98",  "Text97",  "Text91",  "Text92",  "Text113",
                                   "Text112", "Text117", "Text116", "Text121", "Text120"};

}  // namespace

class AirflowDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { prepareUiTesting(); }
  void init() { dialog_ = showDialog(freqsmith::airflow::kWindow); }
  void cleanup() {
    QToolTip::hideText();
    dialog_.reset();
  }

  void isAFixedToolWindowWithACloseBoxOnly() {
    QCOMPARE(dialog_->objectName(), QStringLiteral("Form3"));
    QCOMPARE(dialog_->windowTitle(), QStringLiteral("Airflow Converter"));
    QCOMPARE(dialog_->size(), QSize(375, 270));
    QCOMPARE(dialog_->minimumSize(), dialog_->maximumSize());
    QCOMPARE(dialog_->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    QVERIFY(!(dialog_->windowFlags() & Qt::WindowMinMaxButtonsHint));
  }

  void showsItsCaptions_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    const auto row = [](const char* name, const char* text) {
      QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(text);
    };
    row("Frame4", "Top Fans");
    row("Frame1", "PSU Fans");
    row("Frame5", "Rear Fans");
    row("Frame3", "Side Fans");
    row("Frame2", "Front Fans");
    row("Frame6", "Totals");
    row("Label11", "Intake");
    row("Label8", "x");
    row("Label10", "CFM");
    row("Label31", "=");
    row("Label42", "Subtotal");
    row("Label60", "CFM");
    row("Label30", "Exhaust");
    row("Label52", "CFM");
    row("Label62", "Intake");
    row("Label61", "Exhaust");
    row("Label64", "CFM");
    row("Label65", "CFM");
    row("Label63", "These values should be almost identical");
    row("calcairflow", "Calculate");
    row("close", "Close");
  }

  void showsItsCaptions() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    QWidget* widget = control(dialog_.get(), qPrintable(name));
    QVERIFY(widget);
    QString shown;
    if (auto* label = qobject_cast<QLabel*>(widget)) shown = label->text();
    if (auto* button = qobject_cast<QPushButton*>(widget)) shown = button->text();
    if (auto* frame = qobject_cast<freqsmith::CaptionFrame*>(widget)) shown = frame->caption();
    QCOMPARE(shown, text);
    QVERIFY(widget->parentWidget()->rect().contains(widget->geometry()));
  }

  void everyFieldStartsAtZero() {
    const auto fields = dialog_->findChildren<QLineEdit*>();
    QCOMPARE(fields.size(), 32);
    for (QLineEdit* field : fields) QCOMPARE(field->text(), QStringLiteral("0"));
  }

  void intakeIsCyanAndExhaustLightRed() {
    const auto textColour = [this](const char* name) {
      return control(dialog_.get(), name)->palette().color(QPalette::Text);
    };
    const auto captionColour = [this](const char* name) {
      return control(dialog_.get(), name)->palette().color(QPalette::WindowText);
    };
    QCOMPARE(textColour("Text123"), QColor(192, 255, 255));
    QCOMPARE(textColour("Text132"), QColor(192, 255, 255));
    QCOMPARE(textColour("Text122"), QColor(255, 192, 192));
    QCOMPARE(textColour("Text110"), QColor(255, 192, 192));
    QCOMPARE(captionColour("Label11"), QColor(0x00, 0x40, 0x40));
    QCOMPARE(captionColour("Label12"), QColor(0x80, 0x40, 0x00));
    QCOMPARE(captionColour("Label62"), QColor(0x00, 0x00, 0x80));
    QCOMPARE(captionColour("Label61"), QColor(0x80, 0x40, 0x00));
    QCOMPARE(captionColour("Label63"), QColor(0x40, 0x40, 0x40));
    QVERIFY(control(dialog_.get(), "Label62")->font().bold());
    QVERIFY(!control(dialog_.get(), "Label11")->font().bold());
    for (const char* name : {"Text123", "Text122", "Text132", "Text110"}) {
      QVERIFY(control<QLineEdit>(dialog_.get(), name)->isReadOnly());
    }
  }

  void calculates_data() {
    QTest::addColumn<QStringList>("typed");  // field, keys, field, keys...
    QTest::addColumn<QStringList>("shown");  // field, text, ...
    QTest::newRow("3 x 34.5 as the only intake")
        << QStringList{"Text91", "{all}3", "Text93", "{all}34.5"}
        << QStringList{"Text125", "103.5", "Text132", "103.", "Text110", "0"};
    QTest::newRow("3 x 0.1") << QStringList{"Text121", "{all}3", "Text119", "{all}0.1"}
                             << QStringList{"Text131", "0.3", "Text132", "0.3"};
    QTest::newRow("two top intake fans, one rear exhaust fan")
        << QStringList{"Text98",  "{all}2", "Text96", "{all}40",
                       "Text112", "{all}1", "Text99", "{all}80"}
        << QStringList{"Text123", "80", "Text126", "80", "Text132", "80", "Text110", "80"};
    QTest::newRow("a total of 12000 keeps its digits")
        << QStringList{"Text98", "{all}8", "Text96", "{all}1500"}
        << QStringList{"Text123", "12000", "Text132", "12000"};
    QTest::newRow("emptied fields are written 0")
        << QStringList{"Text116", "{all}{bs}", "Text114", "{all}{bs}",
                       "Text98",  "{all}2",    "Text96",  "{all}{bs}"}
        << QStringList{"Text116", "0",       "Text114", "0",       "Text96",
                       "0",       "Text128", "0",       "Text123", "0"};
  }

  void calculates() {
    QFETCH(QStringList, typed);
    QFETCH(QStringList, shown);
    for (qsizetype i = 0; i + 1 < typed.size(); i += 2) {
      auto* field = control<QLineEdit>(dialog_.get(), qPrintable(typed[i]));
      field->setFocus();
      typeKeys(field, typed[i + 1]);
    }
    click(control(dialog_.get(), "calcairflow"));
    for (qsizetype i = 0; i + 1 < shown.size(); i += 2) {
      QCOMPARE(control<QLineEdit>(dialog_.get(), qPrintable(shown[i]))->text(), shown[i + 1]);
    }
    QCOMPARE(balloonText(), QString());
  }

  void aTotalAddsTheSubtotalsAsShown() {
    const auto text = [this](const char* name) {
      return control<QLineEdit>(dialog_.get(), name)->text();
    };
    typeKeys(control(dialog_.get(), "Text98"), QStringLiteral("{all}2"));
    typeKeys(control(dialog_.get(), "Text96"), QStringLiteral("{all}40"));
    click(control(dialog_.get(), "calcairflow"));
    QCOMPARE(text("Text132"), QStringLiteral("80"));

    typeKeys(control(dialog_.get(), "Text96"), QStringLiteral("{all}50"));
    click(control(dialog_.get(), "Text132"));
    QCOMPARE(text("Text123"), QStringLiteral("80"));
    QCOMPARE(text("Text132"), QStringLiteral("80"));
    click(control(dialog_.get(), "Text123"));
    QCOMPARE(text("Text123"), QStringLiteral("100"));
    QCOMPARE(text("Text132"), QStringLiteral("80"));
    click(control(dialog_.get(), "Text132"));
    QCOMPARE(text("Text132"), QStringLiteral("100"));
  }

  void aCountHoldsOneCharacter_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("result");
    for (const char* count : kCounts) {
      QTest::addRow("%s typed over its selected 0", count) << count << "{all}5"
                                                           << "5";
      QTest::addRow("%s refuses a second digit", count) << count << "{end}5"
                                                        << "0";
      QTest::addRow("%s emptied refuses a digit", count) << count << "{all}{bs}5"
                                                         << "0";
    }
  }

  void aCountHoldsOneCharacter() {
    QFETCH(QString, name);
    QFETCH(QString, keys);
    QFETCH(QString, result);
    auto* count = control<QLineEdit>(dialog_.get(), qPrintable(name));
    count->setFocus();
    typeKeys(count, keys);
    QCOMPARE(count->text(), result);
  }

  void everyInputHasTheDecimalFilter_data() {
    QTest::addColumn<QString>("name");
    for (const char* name : kInputs) QTest::newRow(name) << name;
  }

  void everyInputHasTheDecimalFilter() {
    QFETCH(QString, name);
    auto* field = control<QLineEdit>(dialog_.get(), qPrintable(name));
    QVERIFY(field);
    field->setFocus();
    typeKeys(field, QStringLiteral("{all}{bs}-"));
    QCOMPARE(field->text(), QStringLiteral("0"));
    typeKeys(field, QStringLiteral("{all}{bs}a"));
    QCOMPARE(field->text(), QStringLiteral("0"));
    typeKeys(field, QStringLiteral("{all}."));
    QCOMPARE(field->text(), QStringLiteral("."));
  }

  void anAirflowTakesAnyLength() {
    auto* text96 = control<QLineEdit>(dialog_.get(), "Text96");
    typeKeys(text96, QStringLiteral("{all}123.456789"));
    QCOMPARE(text96->text(), QStringLiteral("123.456789"));
  }

  void faultsAreExplainedUnderTheirField_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("about");
    QTest::addColumn<QString>("sentence");
    QTest::newRow("an airflow too large for a double")
        << "Text119"
        << "1E+400"
        << "Text119"
        << "\"Front intake CFM per fan\" holds a number too large to calculate with.";
    QTest::newRow("a product too large for a double")
        << "Text94"
        << "1E+308"
        << "Text124"
        << "\"PSU exhaust CFM\" cannot be calculated: the result would be too large.";
    QTest::newRow("letters in a count") << "Text113"
                                        << "x"
                                        << "Text113"
                                        << "\"Rear intake fans\" holds \"x\", which is not a "
                                           "number.";
    QTest::newRow("two points") << "Text99"
                                << "1.2.3"
                                << "Text99"
                                << "\"Rear exhaust CFM per fan\" holds \"1.2.3\", which is not a "
                                   "number.";
  }

  void faultsAreExplainedUnderTheirField() {
    QFETCH(QString, field);
    QFETCH(QString, pasted);
    QFETCH(QString, about);
    QFETCH(QString, sentence);
    typeKeys(control(dialog_.get(), "Text92"), QStringLiteral("{all}9"));
    typeKeys(control(dialog_.get(), "Text98"), QStringLiteral("{all}1"));
    typeKeys(control(dialog_.get(), "Text96"), QStringLiteral("{all}10"));
    click(control(dialog_.get(), "calcairflow"));
    QCOMPARE(control<QLineEdit>(dialog_.get(), "Text132")->text(), QStringLiteral("10"));

    auto* edit = control<QLineEdit>(dialog_.get(), qPrintable(field));
    QApplication::clipboard()->setText(pasted);
    edit->selectAll();
    edit->paste();
    QCOMPARE(edit->text(), pasted);
    typeKeys(control(dialog_.get(), "Text96"), QStringLiteral("{all}20"));
    click(control(dialog_.get(), "calcairflow"));
    QCOMPARE(balloonText(), sentence);
    QCOMPARE(control<QLineEdit>(dialog_.get(), "Text132")->text(), QStringLiteral("10"));
    QVERIFY(balloonIsUnder(control(dialog_.get(), qPrintable(about))));
  }

  void closeStartsTheNextOpeningFresh_data() {
    QTest::addColumn<bool>("byCaptionBar");
    QTest::newRow("Close button") << false;
    QTest::newRow("caption bar") << true;
  }

  void closeStartsTheNextOpeningFresh() {
    QFETCH(bool, byCaptionBar);
    typeKeys(control(dialog_.get(), "Text91"), QStringLiteral("{all}3"));
    typeKeys(control(dialog_.get(), "Text93"), QStringLiteral("{all}34.5"));
    typeKeys(control(dialog_.get(), "Text120"), QStringLiteral("{all}{bs}"));
    click(control(dialog_.get(), "calcairflow"));
    QCOMPARE(control<QLineEdit>(dialog_.get(), "Text132")->text(), QStringLiteral("103."));
    if (byCaptionBar) {
      closeByCaptionBar(dialog_.get());
    } else {
      click(control(dialog_.get(), "close"));
    }
    QVERIFY(!dialog_->isVisible());
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog_.get()));
    for (QLineEdit* field : dialog_->findChildren<QLineEdit*>()) {
      QCOMPARE(field->text(), QStringLiteral("0"));
    }
  }

 private:
  std::unique_ptr<freqsmith::ToolDialog> dialog_;
};

QTEST_MAIN(AirflowDialogTest)
#include "tst_airflow_dialog.moc"
