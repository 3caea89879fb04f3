// A seeded random walk over the real windows: keys of every kind, pastes of numbers and
// junk, clicks on every control, the commands, the converter dialogs opened and closed.
// After every event the windows must still be sound: inputs within their lengths, results
// numbers (or what they held before a refused computation), one sentence on the
// explanation line, and no input changed but by the user or by a guard or command that
// may change it. Reproduce a failure with the seed it prints:
//   FREQSMITH_ROBUSTNESS_SEED=<seed> FREQSMITH_ROBUSTNESS_EVENTS=<n> tst_robustness
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDesktopServices>
#include <QDialog>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <map>
#include <memory>
#include <random>

#include "airflow.h"
#include "facts.h"
#include "main_window.h"
#include "main_window_controls.h"
#include "number.h"
#include "qt_text.h"
#include "temperature.h"
#include "vram.h"
#include "window_test_support.h"

using freqsmith::Control;
using freqsmith::ControlKind;
using freqsmith::FieldRole;
using freqsmith::MainWindow;
using freqsmith::toQString;
using namespace freqsmith::testing;

namespace {

std::uint32_t settingOr(const char* name, std::uint32_t fallback) {
  const QByteArray value = qgetenv(name);
  return value.isEmpty() ? fallback : value.toUInt();
}

// Whose table describes a window; only windows of the program are walked.
std::span<const Control> tableOf(QWidget* window) {
  if (window->objectName() == QLatin1String("frmMain")) return freqsmith::mainwin::kControls;
  for (const freqsmith::ToolWindow* tool :
       {&freqsmith::tempcalc::kWindow, &freqsmith::vram::kWindow, &freqsmith::airflow::kWindow}) {
    const std::string_view name = tool->controls.front().name;
    if (window->objectName().toStdString() == name) return tool->controls;
  }
  return {};
}

QString textOf(QWidget* w) {
  return w->property("text").toString();
}

bool isNumber(const QString& text) {
  return freqsmith::parseNumber(text.toStdString()).value.has_value();
}

const QStringList kPastes{"1.2.3", ".",   "-",    "1E+400", "0",
                          "00",    "0.0", "-17.", "133.3",  QString(300, u'9'),
                          "abc",   " 5 ", "1,5",  "inf"};

struct Key {
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
  char text;
};

const Key kKeys[] = {
    {Qt::Key_0, {}, '0'},
    {Qt::Key_1, {}, '1'},
    {Qt::Key_5, {}, '5'},
    {Qt::Key_9, {}, '9'},
    {Qt::Key_Period, {}, '.'},
    {Qt::Key_Minus, {}, '-'},
    {Qt::Key_A, {}, 'a'},
    {Qt::Key_E, {}, 'e'},
    {Qt::Key_Backspace, {}, 0},
    {Qt::Key_Tab, {}, 0},
    {Qt::Key_Return, {}, 0},
    {Qt::Key_Escape, {}, 0},
    {Qt::Key_C, Qt::ControlModifier, 0},
    {Qt::Key_V, Qt::ControlModifier, 0},
    {Qt::Key_X, Qt::ControlModifier, 0},
    {Qt::Key_Delete, {}, 0},
    {Qt::Key_Home, {}, 0},
};

// The commands and what they may write into inputs.
bool isCommand(const QString& name, const char* command) {
  return name == QLatin1String(command);
}

}  // namespace

class RobustnessTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    prepareUiTesting();
    QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "openUrl");
    QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "openUrl");
  }

  void cleanupTestCase() {
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
  }

  void randomEventsKeepTheWindowsSound() {
    seed_ = settingOr("FREQSMITH_ROBUSTNESS_SEED", 20261207);
    const std::uint32_t events = settingOr("FREQSMITH_ROBUSTNESS_EVENTS", 1500);
    random_.seed(seed_);
    using freqsmith::detect::Source;
    const freqsmith::detect::Hardware machine{.processor = {.maker = {"AuthenticAMD", Source::Wmi},
                                                            .busMhz = {200, Source::Wmi},
                                                            .speedMhz = {2000, Source::Wmi}}};
    main_ = std::make_unique<MainWindow>(freqsmith::testing::detectionOn(machine));
    main_->show();
    QVERIFY(QTest::qWaitForWindowExposed(main_.get()));
    QVERIFY(freqsmith::testing::detectionDone(*main_));

    QEventLoop done;
    remaining_ = events;
    finished_ = [&] { done.quit(); };
    QTimer::singleShot(0, this, &RobustnessTest::step);
    done.exec();
    main_.reset();
    QVERIFY2(failure_.isEmpty(), qPrintable(failure_));
    qInfo("%u events, seed %u, %d links intercepted", events, seed_, links_);
  }

  void openUrl(const QUrl&) { ++links_; }

 private:
  QWidget* currentWindow() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return main_.get();
  }

  template <class T>
  T pick(const std::vector<T>& items) {
    return items[std::uniform_int_distribution<std::size_t>(0, items.size() - 1)(random_)];
  }
  bool chance(double p) { return std::bernoulli_distribution(p)(random_); }

  // The shown controls of `table` whose widgets are a W (the inputs are line edits).
  template <class W>
  std::vector<W*> controlsOf(QWidget* window, std::span<const Control> table, bool inputsOnly) {
    std::vector<W*> found;
    for (const Control& row : table) {
      if (row.kind == ControlKind::Window || row.kind == ControlKind::Tabs ||
          row.kind == ControlKind::TabPage || row.kind == ControlKind::Frame) {
        continue;
      }
      if (row.role == FieldRole::Hidden) continue;
      const bool input = row.role == FieldRole::Input || row.role == FieldRole::Tunable;
      if (inputsOnly && !input) continue;
      W* w = window->findChild<W*>(toQString(row.name));
      if (w && !w->isHidden()) found.push_back(w);
    }
    return found;
  }

  // One event, then the checks; the next event is queued so that a modal dialog opened by
  // this one runs the walk inside its own loop.
  void step() {
    if (!failure_.isEmpty() || remaining_ == 0) {
      while (QWidget* modal = QApplication::activeModalWidget()) modal->close();
      finished_();
      return;
    }
    --remaining_;
    // Queued before the event: a converter button returns only when its dialog is closed,
    // and the walk goes on inside the dialog meanwhile.
    QTimer::singleShot(0, this, &RobustnessTest::step);
    QWidget* window = currentWindow();
    const std::span<const Control> table = tableOf(window);
    const auto before = snapshot(window, table);
    QString target;  // the input the user typed or pasted into
    QString clicked;
    action_.clear();

    const double roll = std::uniform_real_distribution<double>(0, 1)(random_);
    if (roll < 0.15) {
      // A plausible figure typed over the whole field, so that computations also succeed.
      const auto inputs = controlsOf<QLineEdit>(window, table, true);
      if (!inputs.empty()) {
        QLineEdit* edit = pick(inputs);
        target = edit->objectName();
        const QString figure = QString::number(std::uniform_int_distribution<int>(1, 9)(random_));
        action_ = QStringLiteral("type %1 over %2").arg(figure, target);
        bringToFront(edit);
        edit->selectAll();
        QTest::keyClicks(edit, figure);
      }
    } else if (roll < 0.40) {
      const auto inputs = controlsOf<QLineEdit>(window, table, true);
      if (!inputs.empty()) {
        QLineEdit* edit = pick(inputs);
        target = edit->objectName();
        const Key& key =
            kKeys[std::uniform_int_distribution<std::size_t>(0, std::size(kKeys) - 1)(random_)];
        if (chance(0.2)) edit->selectAll();
        bringToFront(edit);
        action_ = QStringLiteral("key %1 into %2").arg(int(key.key)).arg(target);
        if (key.text) {
          QTest::keyClick(edit, key.text, key.modifiers);
        } else {
          QTest::keyClick(edit, key.key, key.modifiers);
        }
      }
    } else if (roll < 0.50) {
      const auto inputs = controlsOf<QLineEdit>(window, table, true);
      if (!inputs.empty()) {
        QLineEdit* edit = pick(inputs);
        target = edit->objectName();
        const QString junk =
            kPastes[std::uniform_int_distribution<qsizetype>(0, kPastes.size() - 1)(random_)];
        QApplication::clipboard()->setText(junk);
        if (chance(0.5)) edit->selectAll();
        action_ = QStringLiteral("paste \"%1\" into %2").arg(junk.left(20), target);
        edit->paste();
      }
    } else if (roll < 0.58 && window == main_.get()) {
      auto* tabs = main_->findChild<QTabWidget*>(QStringLiteral("SSTab1"));
      tabs->setCurrentIndex(std::uniform_int_distribution<int>(0, tabs->count() - 1)(random_));
      action_ = QStringLiteral("tab %1").arg(tabs->currentIndex());
    } else if (roll < 0.66 && window == main_.get()) {
      const std::vector<const char*> commands{"Command2", "Command3", "Command4", "Command7"};
      clicked = QString::fromLatin1(pick(commands));
      action_ = QStringLiteral("command %1").arg(clicked);
      click(main_->findChild<QWidget*>(clicked));
    } else if (roll < 0.70 && window != main_.get()) {
      action_ = QStringLiteral("close %1").arg(window->objectName());
      window->close();
    } else {
      const auto all = controlsOf<QWidget>(window, table, false);
      if (!all.empty()) {
        QWidget* w = pick(all);
        clicked = w->objectName();
        action_ = QStringLiteral("click %1").arg(clicked);
        click(w);
      }
    }
    check(window, table, before, target, clicked);
  }

  std::map<QString, QString> snapshot(QWidget* window, std::span<const Control> table) {
    std::map<QString, QString> texts;
    for (const Control& row : table) {
      if (row.kind != ControlKind::Field) continue;
      const QString name = toQString(row.name);
      if (QWidget* w = window->findChild<QWidget*>(name)) texts[name] = textOf(w);
    }
    return texts;
  }

  void fail(const QString& what) {
    if (failure_.isEmpty()) {
      failure_ = QStringLiteral("seed %1, %2 events left, after %3: %4")
                     .arg(seed_)
                     .arg(remaining_)
                     .arg(action_, what);
    }
  }

  // May the command or handler behind `clicked` have turned `from` into `to` in `field`?
  bool writtenByAGuardOrCommand(const QString& clicked, const QString& field, const QString& from,
                                const QString& to) {
    // The access-time guard of the VRAM converter replaces "0" too.
    if (field == "Text17" && from == "0" && to == "0.1") return true;
    if (from.isEmpty() && (to == "0" || to == "1" || to == "0.1")) return true;  // empty guards
    if (isCommand(clicked, "Command3")) return to == "0" || to == "1";           // Reset
    if (isCommand(clicked, "Command7")) {                                        // Defaults
      const int index =
          freqsmith::indexOfControl(freqsmith::mainwin::kControls, field.toStdString());
      return to == "0" ||
             (index >= 0 && to.toStdString() == freqsmith::mainwin::kControls[index].text);
    }
    if (isCommand(clicked, "Command4")) {  // Detect copies the detected figures, cut
      return field == "Text1" || field == "Text2" || field == "Text35" || from.isEmpty();
    }
    return false;
  }

  void check(QWidget* window, std::span<const Control> table,
             const std::map<QString, QString>& before, const QString& target,
             const QString& clicked) {
    if (!main_ || table.empty()) return;
    // The step may have closed or opened a dialog: judge the window it acted on, if alive.
    if (window != main_.get() && !window->isVisible()) return;
    for (const Control& row : table) {
      if (row.kind != ControlKind::Field) continue;
      const QString name = toQString(row.name);
      QWidget* w = window->findChild<QWidget*>(name);
      if (!w) continue;
      const QString now = textOf(w);
      const auto was = before.find(name);
      const bool input = row.role == FieldRole::Input || row.role == FieldRole::Tunable;
      if (input && row.maxLength > 0 && now.size() > row.maxLength) {
        fail(QStringLiteral("%1 holds %2 characters, more than %3")
                 .arg(name)
                 .arg(now.size())
                 .arg(row.maxLength));
      }
      if (row.role == FieldRole::Result && !isNumber(now) &&
          (was == before.end() || was->second != now)) {
        fail(QStringLiteral("result %1 holds \"%2\"").arg(name, now));
      }
      if (input && was != before.end() && was->second != now && name != target &&
          !writtenByAGuardOrCommand(clicked, name, was->second, now)) {
        fail(QStringLiteral("%1 changed from \"%2\" to \"%3\"").arg(name, was->second, now));
      }
    }
    if (window == main_.get()) {
      const QString line = main_->findChild<QLabel*>(QStringLiteral("text7"))->text();
      if (line.isEmpty() || line.contains(u'\n') || line.size() > 200) {
        fail(QStringLiteral("the explanation line reads \"%1\"").arg(line));
      }
      if (isCommand(clicked, "Command3")) checkReset();
      if (isCommand(clicked, "Command7")) checkDefaults();
    }
  }

  QString text(const char* name) {
    return textOf(main_->findChild<QWidget*>(QString::fromLatin1(name)));
  }

  void checkReset() {
    for (const char* name :
         {"Text1",    "Text2",    "Text3",    "Text4",    "Text5",    "Text6",    "Text8",
          "Text9",    "Text19",   "Text56",   "Text58",   "Text11",   "Text14",   "Text15",
          "Text16",   "Text35",   "Text36",   "Text37",   "Text18",   "Text57",   "Text22",
          "Text25",   "Text28",   "Text30",   "Text32",   "Text33",   "Text23",   "Text21",
          "Text26",   "Text27",   "Text31",   "Text34",   "Text24",   "Text29",   "Text9991",
          "Text9992", "Text9993", "Text9994", "Text9995", "Text9996", "Text9997", "Text50",
          "Text51",   "Text52",   "Text53",   "Text54",   "Text55",   "Text60",   "Text61",
          "Text62",   "Text63",   "Text64",   "Text65",   "Text66"}) {
      if (text(name) != "0")
        fail(QStringLiteral("after Reset %1 reads \"%2\"").arg(name, text(name)));
    }
    for (const char* name : {"Text13", "Text12"}) {
      if (text(name) != "1")
        fail(QStringLiteral("after Reset %1 reads \"%2\"").arg(name, text(name)));
    }
    for (QCheckBox* box : main_->findChildren<QCheckBox*>()) {
      if (box->isChecked())
        fail(QStringLiteral("after Reset %1 is checked").arg(box->objectName()));
    }
    if (text("text7") != "Values reset")
      fail(QStringLiteral("Reset said \"%1\"").arg(text("text7")));
  }

  void checkDefaults() {
    const std::pair<const char*, const char*> expected[] = {
        {"Text22", "0"},  {"Text25", "0"}, {"Text28", "0"}, {"Text30", "0"}, {"Text32", "0"},
        {"Text33", "0"},  {"Text23", "0"}, {"Text18", "0"}, {"Text57", "0"}, {"Text35", "0"},
        {"Text59", "12"}, {"Text20", "2"}, {"Text38", "2"}, {"Text39", "3"}, {"Text40", "25"},
        {"Text41", "20"}, {"Text42", "8"}, {"Text43", "5"}, {"Text44", "8"}, {"Text45", "0.4"}};
    for (const auto& [name, value] : expected) {
      if (text(name) != QLatin1String(value)) {
        fail(QStringLiteral("after Defaults %1 reads \"%2\"").arg(name, text(name)));
      }
    }
  }

  std::unique_ptr<MainWindow> main_;
  std::mt19937 random_;
  std::uint32_t seed_ = 0;
  std::uint32_t remaining_ = 0;
  std::function<void()> finished_;
  QString failure_;
  QString action_;
  int links_ = 0;
};

QTEST_MAIN(RobustnessTest)
#include "tst_robustness.moc"
