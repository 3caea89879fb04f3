// The toolkit reports a window system it cannot reach with warnings and then qFatal(), which
// aborts; the fatal message is caught here, while the application is made, and only then.
#include "window_application.h"

#include <QByteArray>
#include <QMessageLogContext>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "command_line.h"
#include "platform_options.h"
#include "terminal.h"

namespace freqsmith {
namespace {

struct HeldMessage {
  QtMsgType type;
  QByteArray file;
  int line;
  QByteArray function;
  QByteArray category;
  QString text;
};

// Platform plugins may warn from threads of their own while they start.
std::mutex heldLock;
std::vector<HeldMessage> held;
QtMessageHandler previousHandler = nullptr;

void holdMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtFatalMsg) {
    print(Channel::Error, "freqsmith: cannot open the window: " + whyNoWindow() + "\n");
    std::_Exit(kFailure);
  }
  const std::lock_guard lock(heldLock);
  held.push_back({type, context.file, context.line, context.function, context.category, text});
}

}  // namespace

namespace detail {

HeldStartMessages::HeldStartMessages() {
  previousHandler = qInstallMessageHandler(holdMessage);
}

void HeldStartMessages::passOn() {
  qInstallMessageHandler(previousHandler);
  const std::lock_guard lock(heldLock);
  for (const HeldMessage& m : held) {
    const QMessageLogContext context(m.file.constData(), m.line, m.function.constData(),
                                     m.category.constData());
    qt_message_output(m.type, context, m.text);
  }
  held.clear();
}

}  // namespace detail

WindowApplication::WindowApplication(int& argc, char** argv) : QApplication(argc, argv) {
  passOn();
}

}  // namespace freqsmith
