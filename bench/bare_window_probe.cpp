// The baseline: a bare main window holding a tab control with four empty tabs, started with
// the same style, ending once it has been painted (see probe_signal.h).
#include <QApplication>
#include <QMainWindow>
#include <QStyleFactory>
#include <QTabWidget>

#include "probe_signal.h"

int main(int argc, char* argv[]) {
  using freqsmith::bench::markStep;
  markStep("main");
  QApplication app(argc, argv);
  markStep("QApplication");
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QMainWindow window;
  auto* tabs = new QTabWidget(&window);
  for (const char* caption : {"One", "Two", "Three", "Four"}) {
    tabs->addTab(new QWidget, QString::fromLatin1(caption));
  }
  window.setCentralWidget(tabs);
  window.resize(469, 358);
  // The fonts are read here, when the tab bar first measures its captions.
  markStep("fonts, style and window");
  // Whole once painted.
  using freqsmith::bench::Ending;
  new freqsmith::bench::FirstPaintSignal(
      &window, freqsmith::bench::untilComplete(argc, argv) ? Ending::Quit : Ending::AtOnce);
  window.show();
  markStep("show()");
  return QApplication::exec();
}
