// Parsing the options with QCommandLineParser, and the --detect report.
#include "command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
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

struct Options {
  Options();

  QCommandLineParser parser;
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
                     "machine's /proc and /sys); the processor is not asked."),
      QStringLiteral("DIR")};
};

Options::Options() {
  parser.setApplicationDescription(QStringLiteral(
      "Overclocking calculator: CPU speed, front-side bus, instructions per second, memory "
      "speed and power-supply load, with the detected processor, board and BIOS."));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addOption(detect);
  // Only the Linux backend reads such files; elsewhere the option is refused, so not offered.
  if (!detect::sysrootReader({})) sysroot.setFlags(QCommandLineOption::HiddenFromHelp);
  parser.addOption(sysroot);
}

// How long --detect waits before it says that it is waiting.
constexpr std::chrono::seconds kQuietWait{1};

void printError(const QString& message) {
  const QByteArray text = QStringLiteral("freqsmith: %1\nTry 'freqsmith --help' for the options.\n")
                              .arg(message)
                              .toUtf8();
  print(Channel::Error, {text.data(), static_cast<std::size_t>(text.size())});
}

// The options the toolkit takes for itself when the window's QApplication is made, and
// whether each is followed by a value ("-platform offscreen", also "-style=fusion").
// Copied from Qt's documentation: Qt has no public list, and strips them only with a display.
struct ToolkitOption {
  std::string_view name;
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

// The arguments as our parser sees them once the toolkit has taken its own. Worked out
// before the QApplication exists, so that a bad option is reported even where no display
// could be opened.
QStringList withoutToolkitOptions(int argc, char* argv[]) {
  QStringList kept;
  for (int i = 0; i < argc; ++i) {
    std::string_view argument(argv[i]);
    if (i > 0 && argument.size() > 1 && argument[0] == '-') {
      std::string_view name = argument.substr(argument.starts_with("--") ? 2 : 1);
      const std::size_t equals = name.find('=');
      const bool valueAttached = equals != std::string_view::npos;
      if (valueAttached) name = name.substr(0, equals);
      const auto* option = std::find_if(std::begin(kToolkitOptions), std::end(kToolkitOptions),
                                        [name](const ToolkitOption& o) { return o.name == name; });
      if (option != std::end(kToolkitOptions)) {
        if (option->takesValue && !valueAttached && i + 1 < argc) ++i;
        continue;
      }
    }
    kept.append(QString::fromLocal8Bit(argv[i]));
  }
  return kept;
}

// Parses the arguments; on a bad one says so and gives false. --help and --version print
// and end the program here.
bool parse(Options& options, const QStringList& arguments) {
  if (!options.parser.parse(arguments)) {
    printError(options.parser.errorText());
    return false;
  }
  if (!options.parser.positionalArguments().isEmpty()) {
    printError(QStringLiteral("unexpected argument '%1'")
                   .arg(options.parser.positionalArguments().constFirst()));
    return false;
  }
  options.parser.process(arguments);
  return true;
}

// The reader the options name; nullopt, after saying why, when --sysroot cannot be read.
std::optional<detect::Reader> chosenReader(const Options& options) {
  if (!options.parser.isSet(options.sysroot)) return detect::platformReader();
  const QString dir = options.parser.value(options.sysroot);
  const std::filesystem::path root(QFile::encodeName(dir).toStdString());
  std::optional<detect::Reader> reader = detect::sysrootReader(root);
  if (!reader) {
    printError(QStringLiteral("--sysroot is not available on this platform"));
    return std::nullopt;
  }
  std::error_code error;
  const std::filesystem::directory_iterator listing(root, error);
  if (error) {
    printError(QStringLiteral("cannot read the directory '%1': %2")
                   .arg(dir, QString::fromLocal8Bit(error.message().c_str())));
    return std::nullopt;
  }
  return reader;
}

}  // namespace

bool printsOnly(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    for (const char* option : {"-h", "--help", "-?", "--help-all", "-v", "--version", "--detect"}) {
      if (std::strcmp(argv[i], option) == 0) return true;
    }
  }
  return false;
}

int runPrinting(int argc, char* argv[]) {
  connectToTerminal();
  QCoreApplication core(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("freqsmith"));
  QCoreApplication::setApplicationVersion(QStringLiteral(FREQSMITH_VERSION_TEXT));
  Options options;
  if (!parse(options, QCoreApplication::arguments())) return kUsageError;
  std::optional<detect::Reader> reader = chosenReader(options);
  if (!reader) return kUsageError;
  // The same bound as the window's: a hung management service does not hang the terminal.
  detect::Detection detection(std::move(*reader));
  // A system that answers at once is not worth a word; one that takes its time is.
  const AwaitedReport report = awaitReport(
      detection, kQuietWait, [] { print(Channel::Error, "freqsmith: detecting\u2026\n"); });
  print(Channel::Output, report.text);
  for (const std::string& fault : report.faults)
    print(Channel::Error, "freqsmith: " + fault + "\n");
  return report.faults.empty() ? 0 : kDetectionIncomplete;
}

std::optional<detect::Reader> readerForWindow(int argc, char* argv[]) {
  Options options;
  if (!parse(options, withoutToolkitOptions(argc, argv))) return std::nullopt;
  return chosenReader(options);
}

}  // namespace freqsmith
