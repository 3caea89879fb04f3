// Start-up, click routing and shut-down of the main window.
#include "main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPainter>
#include <QSettings>
#include <QTabWidget>
#include <QTimer>
#include <QWindow>
#include <chrono>
#include <utility>

#include "background_art.h"
#include "build_config.h"
#include "commands.h"
#include "control_wiring.h"
#include "detection.h"
#include "detection_report.h"
#include "hardware_query.h"
#include "keyboard_focus.h"
#include "look.h"
#include "main_window_controls.h"
#include "misc_tools.h"
#include "qt_text.h"
#include "startup.h"
#include "widget_form.h"
#include "window_builder.h"

namespace freqsmith {

using mainwin::kControls;

namespace {

// Where each picture of the window comes from: the resources, or a drawing.
const PictureSource kPictures[] = {
    {"Image1", {":/pictures/psu.png"}},
    {"Image2", {nullptr, paintProductArt}},
    {"Image4", {":/pictures/author.png"}},
    {"amd", {":/pictures/logo_amd.png"}},
    {"intel", {":/pictures/logo_intel.png"}},
    {"cyrix", {":/pictures/logo_cyrix.png"}},
    {"Command10", {":/pictures/link.png", nullptr, QSize(70, 70)}},
};

// The commands that read or write the detected figures: run before the figures are in,
// Calculate and Detect would work on design texts, and a Reset would be undone by them.
constexpr ControlId kWaitForDetection[] = {
    mainwin::button("Command2"),
    mainwin::button("Command3"),
    mainwin::button("Command4"),
};

// The rows on the tabs that are not in front at start. Only the first tab is on screen at
// the first paint, so the others are built just after it.
constexpr auto kOnLaterTab = [] {
  constexpr auto pages = tabPagesOf(kControls);
  std::size_t first = 0;
  while (kControls[first].kind != ControlKind::TabPage) ++first;
  std::array<bool, kControls.size()> later{};
  for (std::size_t row = 0; row < kControls.size(); ++row) {
    later[row] = pages[row] != 0 && pages[row] != row && pages[row] != first;
  }
  return later;
}();

// What the user does to a window: the events that must find it whole.
bool isUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TabletPress:
      return true;
    default:
      return false;
  }
}

}  // namespace

MainWindow::MainWindow(std::unique_ptr<detect::Detection> detection, QWidget* parent)
    : QWidget(parent), detection_(std::move(detection)) {
  setWindowTitle(QStringLiteral("%1 (%2)").arg(toQString(kControls[0].text),
                                               QStringLiteral(FREQSMITH_PUBLISHER_URL)));
  form_ =
      std::make_unique<WidgetForm>(kControls, mainwin::kExplanationLine, std::vector<QWidget*>());
  prepareWindow(kControls, this, form_->widgets());
  buildControls(kControls, kPictures, form_->widgets(),
                [](std::size_t row) { return !kOnLaterTab[row]; });
  // The first input is on the first tab, built by now; it has the focus once the window is up.
  focusFirstInput(kControls, form_->widgets());
  wireControls();
  // Until the rest is built, any input for this window first has it built, and so does
  // bringing another tab to the front.
  qApp->installEventFilter(this);
  connect(findChild<QTabWidget*>(QStringLiteral("SSTab1")), &QTabWidget::currentChanged, this,
          &MainWindow::completeWindow);

  setWindowIcon(appIcon());
}

MainWindow::~MainWindow() {
  // Before anything else goes: a worker still inside the backend must not call back now.
  detection_.reset();
}

void MainWindow::beginReading() {
  if (figures_ != Figures::NotAsked) return;
  figures_ = Figures::Reading;
  // Not before the window is up: on Windows, starting COM and WMI beside the toolkit's own
  // start costs the window its first paint (under Wine about 17 ms of 25). Either way the
  // answer is put in from this thread's event loop.
  detection_->start([this] {
    QMetaObject::invokeMethod(this, &MainWindow::finishDetection, Qt::QueuedConnection);
  });
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(detection_->deadline() -
                                                                 std::chrono::steady_clock::now());
  QTimer::singleShot(std::max(left, std::chrono::milliseconds(0)), this,
                     &MainWindow::finishDetection);
}

void MainWindow::finishDetection() {
  if (figures_ != Figures::Reading) return;
  figures_ = Figures::In;
  // What has not come by now, at the time limit, has timed out. A figure that nothing gave
  // keeps its design text, and its tooltip says why.
  for (const FigureLine& line : runDetection(*form_, detection_->answers())) {
    form_->widget(line.shownIn)->setToolTip(QString::fromStdString(line.tooltip));
  }
  unsetCursor();
  for (const int command : std::exchange(waitingCommands_, {})) route(command);
  emit detectionFinished();
}

bool MainWindow::waitsForDetection(int controlIndex) {
  for (const ControlId command : kWaitForDetection) {
    if (command.index == controlIndex) return true;
  }
  return false;
}

Form& MainWindow::form() {
  completeWindow();
  return *form_;
}

void MainWindow::completeWindow() {
  if (build_ == Build::Whole) return;
  build_ = Build::Whole;
  // The hardware is read while the rest is built.
  beginReading();
  qApp->removeEventFilter(this);
  buildControls(kControls, kPictures, form_->widgets(), [](std::size_t) { return true; });
  wiring_->wire(kControls, form_->widgets());
  for (const ControlId figure : figureControls()) {
    form_->widget(figure)->setToolTip(toQString(kStillReading));
  }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (build_ != Build::Whole && isUserInput(event->type())) {
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (watched == static_cast<QObject*>(windowHandle()) ||
        (widget && (widget == this || isAncestorOf(widget)))) {
      completeWindow();
    }
  }
  return false;
}

void MainWindow::addRoute(ControlId control, Handler handler) {
  routes_[control.index] = std::move(handler);
}

void MainWindow::route(int controlIndex) {
  if (detectionPending() && waitsForDetection(controlIndex)) {
    waitingCommands_.push_back(controlIndex);
    setCursor(Qt::BusyCursor);
    form_->explain(kWaitingForDetection);
    return;
  }
  if (auto it = routes_.find(controlIndex); it != routes_.end()) {
    it->second();
    return;
  }
  if (calculatorClick(*form_, ControlId{static_cast<std::uint16_t>(controlIndex)})) return;
  const std::string_view sentence = kControls[static_cast<std::size_t>(controlIndex)].sentence;
  if (!sentence.empty()) form_->explain(sentence);
}

void MainWindow::wireControls() {
  // The controls are wired with the rest of the window: no input reaches one before that.
  wiring_ = std::make_unique<ControlWiring>(this, [this](int index) { route(index); });

  addRoute(mainwin::picture("Image3"), [this] { Image3_Click(*form_); });
  auto* tools = new MiscTools(this, *form_);
  for (MiscTools::Route& route : tools->routes()) addRoute(route.control, std::move(route.run));
}

void MainWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paintBackground(painter, rect());
  // The first paint is on its way to the screen; the rest of the window comes right after.
  if (build_ == Build::FirstTab) {
    build_ = Build::RestQueued;
    QMetaObject::invokeMethod(this, &MainWindow::completeWindow, Qt::QueuedConnection);
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  closeOtherWindows();
  if (!isMinimized()) saveGeometry();
  event->accept();
}

void MainWindow::closeOtherWindows() {
  const QWidgetList windows = QApplication::topLevelWidgets();
  for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
    QWidget* window = *it;
    if (window == this) continue;
    const Qt::WindowType type = window->windowType();
    if (type == Qt::Popup || type == Qt::ToolTip) continue;
    window->close();
  }
}

void MainWindow::saveGeometry() {
  const QRect outer = frameGeometry();
  const std::pair<const char*, int> values[] = {{"MainLeft", outer.left()},
                                                {"MainTop", outer.top()},
                                                {"MainWidth", outer.width()},
                                                {"MainHeight", outer.height()}};
  // Under the application's names (prepareApplication), which tests replace with their own.
  QSettings settings;
  settings.beginGroup(QStringLiteral("Settings"));
  for (const auto& [key, pixels] : values) {
    settings.setValue(QLatin1String(key), QString::number(pixels * kTwipsPerPixel));
  }
  settings.endGroup();
}

}  // namespace freqsmith
