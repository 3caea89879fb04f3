// The "   Miscellaneous Tools   " tab driven through real events: its layout, the explanation
// clicks, the links (intercepted, no browser starts), and the converter buttons that run one
// reused dialog each, modally, over a main window that takes no input meanwhile.
#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <functional>
#include <memory>

#include "build_config.h"
#include "caption_frame.h"
#include "facts.h"
#include "link_launcher.h"
#include "main_window.h"
#include "tool_dialog_test_support.h"
#include "window_test_support.h"

using freqsmith::MainWindow;
using namespace freqsmith::testing;

namespace {

// The dialog on screen: the modal one, or any shown dialog when none is modal, so that a
// dialog that wrongly is not modal still gets closed and the test fails instead of hanging.
QWidget* shownDialog() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (qobject_cast<QDialog*>(window) && window->isVisible()) return window;
  }
  return nullptr;
}

QString collapsed(QString text) {
  return text.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" ")).trimmed();
}

}  // namespace

// Stands in for the browser: the addresses the desktop would have opened.
class UrlRecorder : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> opened;
 public slots:
  void open(const QUrl& url) { opened.append(url); }
};

class MiscToolsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    prepareUiTesting();
    for (const char* scheme : {"https", "http"}) {
      QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &browser_, "open");
    }
  }
  void cleanupTestCase() {
    for (const char* scheme : {"https", "http"}) {
      QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
  }

  void init() {
    browser_.opened.clear();
    window_ = std::make_unique<MainWindow>(detectionOn(freqsmith::detect::Hardware{}));
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    QVERIFY(detectionDone(*window_));
    watchdog_ = std::make_unique<ModalWatchdog>();
    line_ = control<QLabel>(window_.get(), "text7");
    bringToFront(control(window_.get(), "Text10"));
  }

  void cleanup() {
    QVERIFY(!watchdog_->fired());
    watchdog_.reset();
    window_.reset();
  }

  void framesStandSideBySideOverTheNotes() {
    auto* tools = control<freqsmith::CaptionFrame>(window_.get(), "frameMiscTools");
    auto* links = control<freqsmith::CaptionFrame>(window_.get(), "frameLinks");
    QCOMPARE(tools->caption(), QStringLiteral("Miscellaneous Tools"));
    QCOMPARE(links->caption(), QStringLiteral("Links"));
    QCOMPARE(tools->y(), links->y());
    QVERIFY(tools->geometry().right() < links->x());
    auto* notes = control(window_.get(), "Text10");
    QVERIFY(notes->y() > tools->geometry().bottom());
    QVERIFY(notes->y() > links->geometry().bottom());

    const auto button = [this](const char* name) {
      return control<QPushButton>(window_.get(), name);
    };
    QCOMPARE(button("Command8")->text(), QStringLiteral("Airflow Converter"));
    QCOMPARE(button("Command9")->text(), QStringLiteral("Vram Ns/Mhz Converter"));
    QCOMPARE(button("Command6")->text(), QStringLiteral("Temperature Converter"));
    QCOMPARE(button("Command1")->text(), QStringLiteral("Freqsmith Home"));
    for (const char* name : {"Command8", "Command9", "Command6"}) {
      QCOMPARE(button(name)->parentWidget(), tools);
    }
    QVERIFY(button("Command8")->y() < button("Command9")->y());
    QVERIFY(button("Command9")->y() < button("Command6")->y());
    QCOMPARE(button("Command10")->parentWidget(), links);
    QCOMPARE(button("Command1")->parentWidget(), links);
    QVERIFY(button("Command10")->y() < button("Command1")->y());
    QVERIFY(!button("Command10")->text().isEmpty());
    QCOMPARE(button("Command10")->iconSize(), QSize(70, 70));
    QCOMPARE(button("Command10")->icon().pixmap(70, 70).size(), QSize(70, 70));
    QVERIFY(button("Command10")->height() > 70);
  }

  void theAuthorsPictureSitsInItsBlackBox() {
    auto* picture = control<QLabel>(window_.get(), "Image4");
    auto* box = control<QLabel>(window_.get(), "Label84");
    auto* remark = control<QLabel>(window_.get(), "Label81");
    QCOMPARE(picture->size(), QSize(102, 116));
    QCOMPARE(picture->pixmap().size(), QSize(102, 116));
    QVERIFY(box->geometry().contains(picture->geometry()));
    QVERIFY(box->text().isEmpty());
    QVERIFY(box->autoFillBackground());
    QCOMPARE(box->palette().color(QPalette::Window), QColor(Qt::black));
    QVERIFY(box->x() > control(window_.get(), "Text10")->geometry().right());
    QVERIFY(remark->y() > box->geometry().bottom());
    QVERIFY(!remark->text().isEmpty());
  }

  void theNotesAreLockedAndCarryTheLicence() {
    auto* notes = control<QPlainTextEdit>(window_.get(), "Text10");
    QVERIFY(notes);
    bringToFront(notes);  // the notes are laid out when their tab is first shown
    QVERIFY(notes->isReadOnly());
    QCOMPARE(notes->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(notes->palette().color(QPalette::Base), QColor(Qt::black));
    QCOMPARE(notes->palette().color(QPalette::Text), QColor(192, 255, 255));
    QVERIFY(notes->verticalScrollBar()->maximum() > 0);

    QFile licence(QStringLiteral(FREQSMITH_TEST_DATA "/../../LICENSE"));
    QVERIFY(licence.open(QIODevice::ReadOnly | QIODevice::Text));
    QString terms = QString::fromUtf8(licence.readAll());
    terms = terms.mid(terms.indexOf(QStringLiteral("Copyright")));
    QVERIFY(terms.startsWith(QStringLiteral("Copyright (c)")));
    QVERIFY(terms.section(u'\n', 0, 0).endsWith(QStringLiteral("the Freqsmith developers")));
    QVERIFY(collapsed(notes->toPlainText()).contains(collapsed(terms)));

    click(notes->viewport());
    typeKeys(notes, QStringLiteral("{end}x{bs}{bs}{del}"));
    QVERIFY(collapsed(notes->toPlainText()).contains(collapsed(terms)));
  }

  void clicksExplain_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("sentence");
    QTest::newRow("Image1") << "Image1"
                            << "A picture of a frickin PSU...";
    QTest::newRow("Image2") << "Image2"
                            << "Freqsmith v1.33b";
    QTest::newRow("Image4")
        << "Image4"
        << "Found a bug or have an idea? Write to the author at " FREQSMITH_CONTACT_EMAIL ".";
    QTest::newRow("Label81") << "Label81"
                             << "I think Zarko's full of crap.";
    QTest::newRow("Text10") << "Text10"
                            << "Read this carefully...or baby Jesus will cry.";
  }

  void clicksExplain() {
    QFETCH(QString, name);
    QFETCH(QString, sentence);
    line_->setText(QStringLiteral("something else"));
    QWidget* target = control(window_.get(), qPrintable(name));
    QVERIFY(target);
    if (auto* notes = qobject_cast<QPlainTextEdit*>(target)) target = notes->viewport();
    click(target);
    QCOMPARE(line_->text(), sentence);
  }

  void theCreditLineExplainsWithItsOwnCaption() {
    auto* credit = control<QLabel>(window_.get(), "Label73");
    line_->setText(QStringLiteral("something else"));
    click(credit);
    QCOMPARE(line_->text(), credit->text());
  }

  void theBlackBoxExplainsNothing() {
    auto* box = control<QLabel>(window_.get(), "Label84");
    line_->setText(QStringLiteral("as it was"));
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(line_->text(), QStringLiteral("as it was"));
  }

  void linksOpenTheirAddressesAndReturnAtOnce_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("address");
    QTest::newRow("Command1") << "Command1" << FREQSMITH_HOME_URL;
    QTest::newRow("Command10") << "Command10" << FREQSMITH_PUBLISHER_URL;
  }

  void linksOpenTheirAddressesAndReturnAtOnce() {
    QFETCH(QString, name);
    QFETCH(QString, address);
    line_->setText(QStringLiteral("as it was"));
    auto* link = control(window_.get(), qPrintable(name));
    click(link);
    click(link);
    QCOMPARE(browser_.opened, QList<QUrl>({QUrl(address), QUrl(address)}));
    QCOMPARE(line_->text(), QStringLiteral("as it was"));
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
  }

  void aLinkThatCannotBeHandedOverSaysSo_data() {
    QTest::addColumn<QString>("address");
    QTest::newRow("malformed") << "http://[example.org";
    QTest::newRow("no scheme") << "freqsmith.example.org";
    QTest::newRow("empty") << "";
  }

  void aLinkThatCannotBeHandedOverSaysSo() {
    QFETCH(QString, address);
    const std::string text = address.toStdString();
    QVERIFY(!freqsmith::openLink(window_->form(), text));
    QCOMPARE(line_->text(), QString::fromStdString(freqsmith::linkFailedSentence(text)));
    QVERIFY(line_->text().contains(address));
    QVERIFY(browser_.opened.isEmpty());
  }

  void convertersRunModallyOverTheMainWindow_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("title");
    QTest::newRow("Command6") << "Command6"
                              << "frmtempcalc"
                              << "Temperature Converter";
    QTest::newRow("Command9") << "Command9"
                              << "Form2"
                              << "VRAM Ns Converter";
    QTest::newRow("Command8") << "Command8"
                              << "Form3"
                              << "Airflow Converter";
  }

  void convertersRunModallyOverTheMainWindow() {
    QFETCH(QString, button);
    QFETCH(QString, dialog);
    QFETCH(QString, title);
    QVERIFY(!window_->findChild<QDialog*>(dialog));  // made on first use

    auto* remark = control(window_.get(), "Label81");
    const QPoint onRemark = remark->mapTo(window_.get(), remark->rect().center());
    QWindow* mainWindow = window_->windowHandle();
    QString shownName, shownTitle, lineAfterClick;
    bool modal = false, ownedByMainWindow = false;
    QWidget* focusBefore = nullptr;
    QWidget* focusAfter = nullptr;
    bool ran = false;
    QTimer::singleShot(0, this, [&] {
      QWidget* open = shownDialog();
      if (!open) return;
      shownName = open->objectName();
      shownTitle = open->windowTitle();
      modal = open == QApplication::activeModalWidget() && open->isModal();
      ownedByMainWindow = open->parentWidget() == window_.get();
      line_->setText(QStringLiteral("while open"));
      QTest::mouseClick(mainWindow, Qt::LeftButton, {}, onRemark);
      lineAfterClick = line_->text();
      focusBefore = window_->focusWidget();
      QTest::keyClick(mainWindow, Qt::Key_Tab);
      focusAfter = window_->focusWidget();
      ran = true;
      open->close();
    });
    click(control(window_.get(), qPrintable(button)));
    // The button's handling returned only after the dialog had been closed.
    QVERIFY(ran);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(shownName, dialog);
    QCOMPARE(shownTitle, title);
    QVERIFY(modal);
    QVERIFY(ownedByMainWindow);
    QCOMPARE(lineAfterClick, QStringLiteral("while open"));
    QCOMPARE(focusAfter, focusBefore);

    // The same events reach the main window once the dialog is closed.
    QTest::mouseClick(mainWindow, Qt::LeftButton, {}, onRemark);
    QCOMPARE(line_->text(), QStringLiteral("I think Zarko's full of crap."));
    focusBefore = window_->focusWidget();
    QTest::keyClick(mainWindow, Qt::Key_Tab);
    QVERIFY(window_->focusWidget() != focusBefore);
  }

  void eachConverterIsMadeOnceAndReused() {
    QList<QPointer<QWidget>> seen;
    const auto openAndClose = [&](const char* button) {
      QTimer::singleShot(0, this, [&] {
        if (QWidget* open = shownDialog()) {
          seen.append(open);
          open->close();
        }
      });
      click(control(window_.get(), button));
    };
    for (const char* button :
         {"Command6", "Command9", "Command8", "Command6", "Command9", "Command8"}) {
      openAndClose(button);
    }
    QCOMPARE(seen.size(), 6);
    for (qsizetype i = 0; i < 3; ++i) {
      QVERIFY(seen[i]);
      QCOMPARE(seen[i + 3], seen[i]);
      QVERIFY(seen[i] != seen[(i + 1) % 3]);
    }
    QCOMPARE(window_->findChildren<QDialog*>().size(), 3);
  }

  void closingStartsTheNextOpeningFresh_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("typed");  // field, keys, ...
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<QStringList>("changed");  // field, text while open, design text, ...
    QTest::addColumn<QString>("closer");       // a button name, or empty for the caption bar
    const QStringList temperature{"Text3", "100", "37", "Text4", "212", "98.6"};
    const QStringList vram{"Text17", "5",      "2.8", "Text18", "200",
                           "357.1",  "Text19", "400", "714.2"};
    const QStringList airflow{"Text98",  "2",  "0", "Text96",  "40", "0",
                              "Text123", "80", "0", "Text132", "80", "0"};
    QTest::newRow("temperature, Close") << "Command6" << QStringList{"Text3", "{all}100"}
                                        << "Command2" << temperature << "Command1";
    QTest::newRow("temperature, caption bar")
        << "Command6" << QStringList{"Text3", "{all}100"} << "Command2" << temperature << "";
    QTest::newRow("VRAM, Close") << "Command9" << QStringList{"Text17", "{all}5"} << "Command2"
                                 << vram << "Command1";
    QTest::newRow("VRAM, caption bar")
        << "Command9" << QStringList{"Text17", "{all}5"} << "Command2" << vram << "";
    QTest::newRow("airflow, Close")
        << "Command8" << QStringList{"Text98", "{all}2", "Text96", "{all}40"} << "calcairflow"
        << airflow << "close";
    QTest::newRow("airflow, caption bar")
        << "Command8" << QStringList{"Text98", "{all}2", "Text96", "{all}40"} << "calcairflow"
        << airflow << "";
  }

  void closingStartsTheNextOpeningFresh() {
    QFETCH(QString, button);
    QFETCH(QStringList, typed);
    QFETCH(QString, trigger);
    QFETCH(QStringList, changed);
    QFETCH(QString, closer);
    const auto runInside = [&](const std::function<void(QWidget*)>& act) {
      bool ran = false;
      QTimer::singleShot(0, this, [&] {
        if (QWidget* open = shownDialog()) {
          act(open);
          ran = true;
        }
      });
      click(control(window_.get(), qPrintable(button)));
      return ran;
    };
    const auto texts = [&](QWidget* open) {
      QStringList out;
      for (qsizetype i = 0; i < changed.size(); i += 3) {
        out << control<QLineEdit>(open, qPrintable(changed[i]))->text();
      }
      return out;
    };
    QStringList whileOpen, expectedWhileOpen, design, expectedDesign;
    for (qsizetype i = 0; i < changed.size(); i += 3) {
      expectedWhileOpen << changed[i + 1];
      expectedDesign << changed[i + 2];
    }

    QVERIFY(runInside([&](QWidget* open) {
      for (qsizetype i = 0; i + 1 < typed.size(); i += 2) {
        typeKeys(control(open, qPrintable(typed[i])), typed[i + 1]);
      }
      click(control(open, qPrintable(trigger)));
      whileOpen = texts(open);
      if (closer.isEmpty()) {
        closeByCaptionBar(open);
      } else {
        click(control(open, qPrintable(closer)));
      }
    }));
    QCOMPARE(whileOpen, expectedWhileOpen);

    QVERIFY(runInside([&](QWidget* open) {
      design = texts(open);
      open->close();
    }));
    QCOMPARE(design, expectedDesign);
  }

 private:
  UrlRecorder browser_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<ModalWatchdog> watchdog_;
  QLabel* line_ = nullptr;
};

QTEST_MAIN(MiscToolsTest)
#include "tst_misc_tools.moc"
