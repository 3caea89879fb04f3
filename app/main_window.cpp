// Start-up, click routing and shut-down of the main window.
#include "main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPainter>
#include <QSettings>

#include "background_art.h"
#include "build_config.h"
#include "commands.h"
#include "control_wiring.h"
#include "detection_report.h"
#include "hardware_query.h"
#include "look.h"
#include "main_window_controls.h"
#include "misc_tools.h"
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

}  // namespace

MainWindow::MainWindow(detect::ManagementService& service, QWidget* parent) : QWidget(parent) {
  setWindowTitle(QStringLiteral("%1 (%2)").arg(
      QString::fromUtf8(kControls[0].text.data(), kControls[0].text.size()),
      QStringLiteral(FREQSMITH_PUBLISHER_URL)));
  form_ = std::make_unique<WidgetForm>(kControls, mainwin::kExplanationLine,
                                       buildControls(kControls, this, kPictures));
  wireControls();

  setWindowIcon(appIcon());
  const detect::Provenance provenance = detect::runDetection(service, *form_);
  // A figure that nothing gave keeps its design text, and its tooltip says why.
  for (const detect::FigureLine& line : detect::describeFigures(*form_, provenance)) {
    if (!line.source) {
      form_->widget(line.shownIn)->setToolTip(QString::fromStdString(line.whyUnknown));
    }
  }
}

MainWindow::~MainWindow() = default;

Form& MainWindow::form() {
  return *form_;
}

void MainWindow::addRoute(ControlId control, Handler handler) {
  routes_[control.index] = std::move(handler);
}

void MainWindow::route(int controlIndex) {
  if (auto it = routes_.find(controlIndex); it != routes_.end()) {
    it->second();
    return;
  }
  if (calculatorClick(*form_, ControlId{static_cast<std::uint16_t>(controlIndex)})) return;
  const std::string_view sentence = kControls[static_cast<std::size_t>(controlIndex)].sentence;
  if (!sentence.empty()) form_->explain(sentence);
}

void MainWindow::wireControls() {
  freqsmith::wireControls(kControls, form_->widgets(), this, [this](int index) { route(index); });

  addRoute(mainwin::picture("Image3"), [this] { detect::Image3_Click(*form_); });
  auto* tools = new MiscTools(this, *form_);
  for (MiscTools::Route& route : tools->routes()) addRoute(route.control, std::move(route.run));
}

void MainWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paintBackground(painter, rect());
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
  QSettings settings(QStringLiteral("Freqsmith"), QStringLiteral("Freqsmith"));
  settings.beginGroup(QStringLiteral("Settings"));
  for (const auto& [key, pixels] : values) {
    settings.setValue(QLatin1String(key), QString::number(pixels * kTwipsPerPixel));
  }
  settings.endGroup();
}

}  // namespace freqsmith
