// Start-up, click routing and shut-down of the main window.
#include "main_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSettings>

#include "background_art.h"
#include "build_config.h"
#include "click_hook.h"
#include "commands.h"
#include "hardware_query.h"
#include "key_filter_hook.h"
#include "look.h"
#include "main_window_controls.h"
#include "misc_tools.h"
#include "widget_form.h"
#include "window_builder.h"

namespace freqsmith {

using mainwin::kControls;

MainWindow::MainWindow(detect::ManagementService& service, QWidget* parent) : QWidget(parent) {
  setWindowTitle(QStringLiteral("%1 (%2)").arg(
      QString::fromUtf8(kControls[0].text.data(), kControls[0].text.size()),
      QStringLiteral(FREQSMITH_PUBLISHER_URL)));
  form_ = std::make_unique<WidgetForm>(kControls, mainwin::kExplanationLine,
                                       buildControls(kControls, this));
  wireControls();

  setWindowIcon(appIcon());
  detect::runDetection(service, *form_);
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
  auto* keys = new KeyFilterHook(this);
  auto* clicks = new ClickHook(this);
  connect(clicks, &ClickHook::clicked, this, &MainWindow::route);

  for (std::size_t i = 1; i < kControls.size(); ++i) {
    const Control& row = kControls[i];
    QWidget* widget = form_->widgets()[i];
    const int index = static_cast<int>(i);
    switch (row.kind) {
      case ControlKind::Field:
        if (row.filter != KeyFilter::None) {
          keys->install(static_cast<QLineEdit*>(widget), row);
        }
        clicks->install(widget, index);
        break;
      case ControlKind::Label:
      case ControlKind::Picture:
        clicks->install(widget, index);
        break;
      case ControlKind::Box:
      case ControlKind::Button:
        connect(static_cast<QAbstractButton*>(widget), &QAbstractButton::clicked, this,
                [this, index] { route(index); });
        break;
      default:
        break;
    }
  }

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
  QSettings settings(QStringLiteral("Freqsmith"), QStringLiteral("Freqsmith"));
  settings.beginGroup(QStringLiteral("Settings"));
  settings.setValue(QStringLiteral("MainLeft"), QString::number(outer.left() * kTwipsPerPixel));
  settings.setValue(QStringLiteral("MainTop"), QString::number(outer.top() * kTwipsPerPixel));
  settings.setValue(QStringLiteral("MainWidth"), QString::number(outer.width() * kTwipsPerPixel));
  settings.setValue(QStringLiteral("MainHeight"), QString::number(outer.height() * kTwipsPerPixel));
  settings.endGroup();
}

}  // namespace freqsmith
