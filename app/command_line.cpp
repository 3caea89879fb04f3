// Reading the options, the printed answers (help, version, the --detect report) and their
// exit statuses. QCommandLineParser only lays out the help: it would print --help and
// --version itself and exit with 0 even when nothing reached standard output, and its
// messages name some options without their dashes.
#include "command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "build_config.h"
#include "detection.h"
#include "detection_report.h"
#include "terminal.h"

namespace freqsmith {
namespace {

// What a run asks for, by precedence when several are given: a request for help wins.
enum class Request { Window, Detect, Version, HelpAll, Help };

struct Options {
  struct Asking {
    const QCommandLineOption* option;
    Request request;
  };

  Options();
  // The option spelled `name` (without dashes), with what it asks for; or nullptr.
  const Asking* find(QStringView name) const;

  QCommandLineParser parser;
  QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                          QStringLiteral("Print this summary of the options and exit.")};
  // Windows' own spelling of help, accepted everywhere and listed nowhere.
  QCommandLineOption helpWindows{QStringLiteral("?"), QString()};
  QCommandLineOption helpAll{
      QStringLiteral("help-all"),
      QStringLiteral("Print this summary and the options the Qt toolkit takes for itself when "
                     "it opens the window, and exit.")};
  QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                             QStringLiteral("Print the version and exit.")};
  QCommandLineOption detect{
      QStringLiteral("detect"),
      QStringLiteral("Print the figures of the \"CPU and Mainboard\" tab, each with where it came "
                     "from, and exit without opening a window: with status 0, or 1 when the "
                     "hardware service failed or did not answer within %1 seconds, in which "
                     "case the figures that came are printed all the same.")
          .arg(detect::Detection::kTimeLimit.count())};
  QCommandLineOption sysroot{
      QStringLiteral("sysroot"),
      QStringLiteral("Read the Linux files under <DIR> instead of / (a copy of another "
                     "machine's /proc and /sys), in the window and for --detect alike; the "
                     "processor is not asked."),
      QStringLiteral("DIR")};

  const Asking asking[6] = {{&help, Request::Help},       {&helpWindows, Request::Help},
                            {&helpAll, Request::HelpAll}, {&version, Request::Version},
                            {&detect, Request::Detect},   {&sysroot, Request::Window}};
};

Options::Options() {
  parser.setApplicationDescription(QStringLiteral(
      "Overclocking calculator: CPU speed, front-side bus, instructions per second, memory "
      "speed and power-supply load, with the detected processor, board and BIOS."));
  helpWindows.setFlags(QCommandLineOption::HiddenFromHelp);
  // Only the Linux backend reads such files; elsewhere the option is refused, so not offered.
  if (!detect::sysrootReader({})) sysroot.setFlags(QCommandLineOption::HiddenFromHelp);
  for (const Asking& a : asking) parser.addOption(*a.option);
}

const Options::Asking* Options::find(QStringView name) const {
  for (const Asking& a : asking) {
    if (a.option->names().contains(name)) return &a;
  }
  return nullptr;
}

// The arguments as read: what they ask for, or why they cannot be used.
struct Arguments {
  Request request = Request::Window;
  std::optional<QString> sysroot;
  QString problem;
};

Arguments unusable(const QString& problem) {
  Arguments arguments;
  arguments.problem = problem;
  return arguments;
}

// Reads the arguments (the program's name first) the GNU way: "--name", "--name=value" or
// "--name value"; one-letter options after a single dash, several in one ("-hv"); "--" ends
// the options. Every problem names the argument as it was typed, dashes and all.
Arguments readArguments(const Options& options, const QStringList& arguments) {
  Arguments read;
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument == u"--") {
      if (i + 1 < arguments.size())
        return unusable(QStringLiteral("unexpected argument '%1'").arg(arguments[i + 1]));
      break;
    }
    if (argument.size() < 2 || !argument.startsWith(u'-'))
      return unusable(QStringLiteral("unexpected argument '%1'").arg(argument));
    if (argument.startsWith(u"--")) {
      const qsizetype equals = argument.indexOf(u'=');
      const QString typed = equals < 0 ? argument : argument.left(equals);
      const QStringView name = QStringView(typed).mid(2);
      const Options::Asking* option = name.size() > 1 ? options.find(name) : nullptr;
      if (option == nullptr) return unusable(QStringLiteral("unrecognized option '%1'").arg(typed));
      read.request = std::max(read.request, option->request);
      // --sysroot is the one option with a value.
      if (option->option->valueName().isEmpty()) {
        if (equals >= 0)
          return unusable(QStringLiteral("option '%1' doesn't allow an argument").arg(typed));
      } else if (equals >= 0) {
        read.sysroot = argument.mid(equals + 1);
      } else if (i + 1 < arguments.size()) {
        read.sysroot = arguments[++i];
      } else {
        return unusable(QStringLiteral("option '%1' requires an argument").arg(typed));
      }
    } else {
      for (const QChar letter : QStringView(argument).mid(1)) {
        const Options::Asking* option = options.find(QStringView(&letter, 1));
        if (option == nullptr || !option->option->valueName().isEmpty())
          return unusable(QStringLiteral("unrecognized option '%1'").arg(argument));
        read.request = std::max(read.request, option->request);
      }
    }
  }
  return read;
}

// How long --detect waits before it says that it is waiting.
constexpr std::chrono::seconds kQuietWait{1};

void printText(Channel channel, const QString& text) {
  const QByteArray bytes = text.toUtf8();
  print(channel, std::string_view(bytes.data(), static_cast<std::size_t>(bytes.size())));
}

void printError(const QString& message) {
  printText(
      Channel::Error,
      QStringLiteral("freqsmith: %1\nTry 'freqsmith --help' for the options.\n").arg(message));
}

// The exit status `status`, unless standard output could not take all that was printed:
// then, as GNU programs do, the reason goes to standard error and the status is a failure.
int checkedStatus(int status) {
  const std::string fault = outputFault();
  if (fault.empty()) return status;
  print(Channel::Error, "freqsmith: write error: " + fault + "\n");
  return kFailure;
}

// The options the toolkit takes for itself when the window's QApplication is made, and
// whether each is followed by a value ("-platform offscreen", also "-style=fusion").
// Copied from Qt's documentation: Qt has no public list, and strips them only with a display.
struct ToolkitOption {
  // A C string, which Qt's Latin-1 view takes as it is (no size to convert to its own).
  const char* name;
  bool takesValue;
};
constexpr ToolkitOption kToolkitOptions[] = {
    {"platform", true},        {"platformpluginpath", true},
    {"platformtheme", true},   {"plugin", true},
    {"qwindowgeometry", true}, {"qwindowtitle", true},
    {"qwindowicon", true},     {"session", true},
    {"style", true},           {"stylesheet", true},
    {"display", true},         {"geometry", true},
    {"title", true},           {"name", true},
    {"visual", true},          {"reverse", false},
    {"widgetcount", false},    {"testability", false},
    {"sync", false},           {"nograb", false},
    {"dograb", false},         {"qmljsdebugger", false},
};

// The summary that --help-all adds: the toolkit's options, as it spells them.
QString toolkitOptionsHelp() {
  QString text = QStringLiteral(
      "\nOptions the Qt toolkit takes for itself when it opens the window (Qt's documentation "
      "of\nQGuiApplication and QApplication says what each does):\n");
  for (const ToolkitOption& option : kToolkitOptions) {
    text += QStringLiteral("  -") + QLatin1StringView(option.name);
    if (option.takesValue) text += QStringLiteral(" <value>");
    text += u'\n';
  }
  return text;
}

// The arguments as our parser sees them once the toolkit has taken its own. Worked out
// before the QApplication exists, so that a bad option is reported even where no display
// could be opened.
QStringList withoutToolkitOptions(const QStringList& arguments) {
  QStringList kept;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (i > 0 && argument.size() > 1 && argument.startsWith(u'-')) {
      QStringView name = QStringView(argument).mid(argument.startsWith(u"--") ? 2 : 1);
      const qsizetype equals = name.indexOf(u'=');
      const bool valueAttached = equals >= 0;
      if (valueAttached) name = name.left(equals);
      const auto* option = std::find_if(
          std::begin(kToolkitOptions), std::end(kToolkitOptions),
          [name](const ToolkitOption& o) { return name == QLatin1StringView(o.name); });
      if (option != std::end(kToolkitOptions)) {
        if (option->takesValue && !valueAttached && i + 1 < arguments.size()) ++i;
        continue;
      }
    }
    kept.append(argument);
  }
  return kept;
}

QStringList argumentsOf(int argc, char* argv[]) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
  return arguments;
}

// The reader the options name; nullopt, after saying why, when --sysroot cannot be read.
std::optional<detect::Reader> chosenReader(const Arguments& arguments) {
  if (!arguments.sysroot) return detect::platformReader();
  const QString& dir = *arguments.sysroot;
  const std::filesystem::path root(QFile::encodeName(dir).toStdString());
  std::optional<detect::Reader> reader = detect::sysrootReader(root);
  if (!reader) {
    printError(QStringLiteral("option '--sysroot' is not available on this platform"));
    return std::nullopt;
  }
  std::error_code error;
  const std::filesystem::directory_iterator listing(root, error);
  if (error) {
    printError(QStringLiteral("option '--sysroot': cannot read the directory '%1': %2")
                   .arg(dir, QString::fromLocal8Bit(error.message().c_str())));
    return std::nullopt;
  }
  // Every figure comes from one of these two; a directory without both (a mistyped path,
  // the folder above the copy) would give a report of nothing but "unknown".
  if (!std::filesystem::exists(root / "proc" / "cpuinfo", error) &&
      !std::filesystem::is_directory(root / "sys", error)) {
    printError(QStringLiteral("option '--sysroot': the directory '%1' holds neither "
                              "proc/cpuinfo nor sys/, so there is nothing to read")
                   .arg(dir));
    return std::nullopt;
  }
  return reader;
}

}  // namespace

bool printsOnly(int argc, char* argv[]) {
  const Options options;
  const Arguments arguments =
      readArguments(options, withoutToolkitOptions(argumentsOf(argc, argv)));
  return arguments.problem.isEmpty() && arguments.request != Request::Window;
}

int runPrinting(int argc, char* argv[]) {
  connectToTerminal();
  QCoreApplication core(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("freqsmith"));
  QCoreApplication::setApplicationVersion(QStringLiteral(FREQSMITH_VERSION_TEXT));
  const Options options;
  const Arguments arguments =
      readArguments(options, withoutToolkitOptions(QCoreApplication::arguments()));
  if (!arguments.problem.isEmpty()) {
    printError(arguments.problem);
    return kUsageError;
  }
  switch (arguments.request) {
    case Request::Help:
      printText(Channel::Output, options.parser.helpText());
      return checkedStatus(0);
    case Request::HelpAll:
      printText(Channel::Output, options.parser.helpText() + toolkitOptionsHelp());
      return checkedStatus(0);
    case Request::Version:
      printText(Channel::Output, QStringLiteral("freqsmith %1\n").arg(FREQSMITH_VERSION_TEXT));
      return checkedStatus(0);
    case Request::Detect:
    case Request::Window:
      break;
  }
  std::optional<detect::Reader> reader = chosenReader(arguments);
  if (!reader) return kUsageError;
  // The same bound as the window's: a hung management service does not hang the terminal.
  detect::Detection detection(std::move(*reader));
  // A system that answers at once is not worth a word; one that takes its time is.
  const AwaitedReport report = awaitReport(
      detection, kQuietWait, [] { print(Channel::Error, "freqsmith: detecting\u2026\n"); });
  print(Channel::Output, report.text);
  for (const std::string& fault : report.faults)
    print(Channel::Error, "freqsmith: " + fault + "\n");
  return checkedStatus(report.faults.empty() ? 0 : kFailure);
}

std::optional<detect::Reader> readerForWindow(int argc, char* argv[]) {
  const Options options;
  const Arguments arguments =
      readArguments(options, withoutToolkitOptions(argumentsOf(argc, argv)));
  if (!arguments.problem.isEmpty()) {
    printError(arguments.problem);
    return std::nullopt;
  }
  return chosenReader(arguments);
}

}  // namespace freqsmith
