// The benchmark table: start-up and peak memory against a bare four-tab window in the same
// run, start-up on a reader that takes a second against the ordinary one, detection alone, and
// Calculate on the in-memory form and through a click on the real window. Every figure is a median;
// targets are printed beside it.
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "airflow.h"
#include "commands.h"
#include "cpuid_reader.h"
#include "detection.h"
#include "facts.h"
#include "fake_reader.h"
#include "hardware_query.h"
#include "linux_reader.h"
#include "main_window.h"
#include "main_window_controls.h"
#include "measure.h"
#include "startup.h"
#include "temperature.h"
#include "vram.h"

extern char** environ;

namespace {

using freqsmith::bench::median;
using freqsmith::bench::medianMicros;

// How long one step of a start-up took, as a probe reports it (probe_signal.h).
struct Step {
  std::string name;
  double ms = 0;
};

struct ProcessSample {
  double startupMs = 0;
  double peakMb = 0;
  std::vector<Step> steps;  // from main() on; what is left of startupMs came before it
};

// "QApplication=1.41;first paint=2.90;" into its steps.
std::vector<Step> parseSteps(std::string_view line) {
  std::vector<Step> steps;
  while (!line.empty()) {
    const std::size_t end = std::min(line.find(';'), line.size());
    const std::string_view step = line.substr(0, end);
    if (const std::size_t equals = step.find('='); equals != std::string_view::npos) {
      steps.push_back({std::string(step.substr(0, equals)),
                       std::atof(std::string(step.substr(equals + 1)).c_str())});
    }
    line.remove_prefix(std::min(end + 1, line.size()));
  }
  return steps;
}

// The rest of what the probe writes after its byte: one line, or nothing if it ended first.
std::string readLine(int fd) {
  std::string line;
  char c = 0;
  pollfd ready{fd, POLLIN, 0};
  while (::poll(&ready, 1, 30000) == 1 && ::read(fd, &c, 1) == 1 && c != '\n') line += c;
  return line;
}

// Starts `program` (with `argument`, unless empty), times it until it reports its first
// painted window, and reads its peak resident memory when it has exited.
ProcessSample runProbe(const std::string& program, const std::string& argument = {}) {
  int fds[2];
  if (::pipe(fds) != 0) std::abort();
  ::fcntl(fds[0], F_SETFD, FD_CLOEXEC);
  const std::string fdVariable = "FREQSMITH_PROBE_FD=" + std::to_string(fds[1]);
  std::vector<char*> env;
  for (char** e = environ; *e; ++e) env.push_back(*e);
  env.push_back(const_cast<char*>(fdVariable.c_str()));
  env.push_back(nullptr);
  char* argv[] = {const_cast<char*>(program.c_str()),
                  argument.empty() ? nullptr : const_cast<char*>(argument.c_str()), nullptr};

  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, env.data()) != 0) {
    std::fprintf(stderr, "cannot start %s\n", program.c_str());
    std::exit(1);
  }
  ::close(fds[1]);
  pollfd ready{fds[0], POLLIN, 0};
  char byte = 0;
  if (::poll(&ready, 1, 30000) != 1 || ::read(fds[0], &byte, 1) != 1) {
    std::fprintf(stderr, "%s did not show its window\n", program.c_str());
    std::exit(1);
  }
  const auto shown = std::chrono::steady_clock::now();
  std::vector<Step> steps = parseSteps(readLine(fds[0]));
  ::close(fds[0]);
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  return {std::chrono::duration<double, std::milli>(shown - start).count(),
          static_cast<double>(usage.ru_maxrss) / 1024.0, std::move(steps)};
}

struct Row {
  const char* what;
  double value;
  const char* unit;
  const char* target;
  double ratio;  // against the bare window (or the line above it, where it says so); 0: none
  bool met;
};

void print(const std::vector<Row>& rows, int processRuns) {
  std::printf("\nFreqsmith benchmarks (medians; start-up over %d interleaved runs each)\n\n",
              processRuns);
  std::printf("%-40s %12s  %-10s %-8s %s\n", "measure", "median", "target", "ratio", "");
  for (const Row& row : rows) {
    char value[32];
    std::snprintf(value, sizeof value, "%.3g %s", row.value, row.unit);
    char ratio[16] = "";
    if (row.ratio > 0) std::snprintf(ratio, sizeof ratio, "%.2fx", row.ratio);
    std::printf("%-40s %12s  %-10s %-8s %s\n", row.what, value, row.target, ratio,
                row.target[0] ? (row.met ? "met" : "MISSED") : "");
  }
  std::printf("\n");
}

// The median of each start-up step over a program's runs, in the order the probe reports
// them, led by the time before main(): loading the program and its libraries.
std::vector<Step> medianSteps(const std::vector<ProcessSample>& runs) {
  std::vector<Step> medians;
  if (runs.empty()) return medians;
  std::vector<double> beforeMain;
  for (const ProcessSample& run : runs) {
    double fromMain = 0;
    for (const Step& step : run.steps) fromMain += step.ms;
    beforeMain.push_back(run.startupMs - fromMain);
  }
  medians.push_back({"loading, before main()", median(beforeMain)});
  for (const Step& step : runs.front().steps) {
    std::vector<double> took;
    for (const ProcessSample& run : runs) {
      for (const Step& other : run.steps) {
        if (other.name == step.name) took.push_back(other.ms);
      }
    }
    medians.push_back({step.name, median(took)});
  }
  return medians;
}

// Where the start-up time goes, step by step, for both programs side by side.
void printSteps(const std::vector<ProcessSample>& bare, const std::vector<ProcessSample>& app) {
  const std::vector<Step> bareSteps = medianSteps(bare), appSteps = medianSteps(app);
  std::printf("%-40s %12s %12s %12s\n", "start-up, step by step (medians)", "bare window",
              "Freqsmith", "difference");
  for (const Step& step : appSteps) {
    double bareMs = 0;
    for (const Step& other : bareSteps) {
      if (other.name == step.name) bareMs = other.ms;
    }
    std::printf("%-40s %9.2f ms %9.2f ms %+9.2f ms\n", step.name.c_str(), bareMs, step.ms,
                step.ms - bareMs);
  }
  std::printf("\n");
}

// A timed handler that stops on a fault would time the wrong thing.
void mustRun(bool ran, std::string_view what) {
  if (ran) return;
  std::fprintf(stderr, "%.*s stopped on a fault; its timing would mean nothing\n",
               static_cast<int>(what.size()), what.data());
  std::exit(1);
}

void setCalculatorInputs(freqsmith::Form& form) {
  using freqsmith::mainwin::box;
  using freqsmith::mainwin::field;
  form.setText(field("Text1"), "200");
  form.setText(field("Text2"), "10");
  form.setText(field("Text13"), "3");
  form.setText(field("Text12"), "4");
  form.setText(field("Text22"), "3");
  form.setText(field("Text28"), "2");
  form.setText(field("Text35"), "200");
  form.setChecked(box("Check13"), true);
  form.setChecked(box("Check14"), true);
  form.setChecked(box("Check15"), true);
}

}  // namespace

int main(int argc, char* argv[]) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const std::filesystem::path here = std::filesystem::absolute(argv[0]).parent_path();
  const std::string probe = (here / "freqsmith_startup_probe").string();
  const std::string bare = (here / "freqsmith_bare_probe").string();
  const int processRuns = argc > 1 ? std::atoi(argv[1]) : 15;

  // Start-up: warm the file cache, then alternate the programs so that all see the same
  // machine load. The slow reader answers a second after start; the window must not wait
  // for it.
  const std::string slowBackendMs = "1000";
  runProbe(bare);
  runProbe(probe);
  // Memory is read off runs that go on until the window is whole: every tab built and the
  // detected figures in.
  const std::string whole = "--until-complete";
  std::vector<double> bareMs, bareMb, appMs, appMb, slowMs;
  std::vector<ProcessSample> bareRuns, appRuns;
  for (int i = 0; i < processRuns; ++i) {
    bareRuns.push_back(runProbe(bare));
    bareMs.push_back(bareRuns.back().startupMs);
    appRuns.push_back(runProbe(probe));
    appMs.push_back(appRuns.back().startupMs);
    slowMs.push_back(runProbe(probe, slowBackendMs).startupMs);
    bareMb.push_back(runProbe(bare, whole).peakMb);
    appMb.push_back(runProbe(probe, whole).peakMb);
  }
  const double bareStart = median(bareMs), appStart = median(appMs), slowStart = median(slowMs);
  const double bareMem = median(bareMb), appMem = median(appMb);

  // Detection alone: this machine's files read in full, as the worker reads them (the
  // CPUID fallback included), then the three queries and the derivations.
  const double detectionUs = medianMicros(
      21, 20, [](int) {},
      [] {
        const freqsmith::detect::Reader reader = freqsmith::detect::linuxReader();
        freqsmith::detect::Hardware hardware{reader.processor(), reader.board(), reader.bios()};
        freqsmith::detect::settleClocks(hardware.processor, reader.cpuid.get());
        freqsmith::MemoryForm form(freqsmith::mainwin::kControls,
                                   freqsmith::mainwin::kExplanationLine);
        freqsmith::runDetection(form, hardware);
      });

  // Calculate on the in-memory form.
  freqsmith::MemoryForm memory(freqsmith::mainwin::kControls, freqsmith::mainwin::kExplanationLine);
  setCalculatorInputs(memory);
  const double memoryUs = medianMicros(
      21, 1000, [](int) {}, [&] { mustRun(freqsmith::Command2_Click(memory), "Calculate"); });

  // Each converter's handler on its in-memory dialog.
  const auto converter = [](const freqsmith::ToolWindow& window, auto prepare, auto handler) {
    freqsmith::MemoryForm form(window.controls);
    prepare(form);
    return medianMicros(
        21, 1000, [](int) {},
        [&] { mustRun(static_cast<bool>(handler(form)), window.controls[0].text); });
  };
  const double temperatureUs = converter(
      freqsmith::tempcalc::kWindow,
      [](freqsmith::Form& f) { f.setText(freqsmith::tempcalc::field("Text3"), "36.6"); },
      [](freqsmith::Form& f) { return freqsmith::tempcalc::Text4_Click(f); });
  const double vramUs = converter(
      freqsmith::vram::kWindow, [](freqsmith::Form&) {},
      [](freqsmith::Form& f) { return freqsmith::vram::Command2_Click(f); });
  const double airflowUs = converter(
      freqsmith::airflow::kWindow,
      [](freqsmith::Form& f) {
        f.setText(freqsmith::airflow::field("Text98"), "2");
        f.setText(freqsmith::airflow::field("Text96"), "40");
        f.setText(freqsmith::airflow::field("Text112"), "1");
        f.setText(freqsmith::airflow::field("Text99"), "80");
      },
      [](freqsmith::Form& f) { return freqsmith::airflow::calcairflow_Click(f); });

  // Calculate through a click on the real window, repaint included; the clock alternates
  // so that every click changes what the fields show.
  QApplication app(argc, argv);
  freqsmith::prepareApplication();
  freqsmith::MainWindow window(std::make_unique<freqsmith::detect::Detection>(
      freqsmith::testing::fixedReader(freqsmith::detect::Hardware{})));
  window.show();
  while (window.detectionPending()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  setCalculatorInputs(window.form());
  auto* calculate = window.findChild<QPushButton*>(QStringLiteral("Command2"));
  auto* clock = window.findChild<QLineEdit*>(QStringLiteral("Text1"));
  const double clickUs = medianMicros(
      21, 50,
      [&](int i) {
        clock->setText(i % 2 ? QStringLiteral("200") : QStringLiteral("166"));
        QApplication::processEvents();
      },
      [&] {
        calculate->click();
        QApplication::processEvents();
      });

  print({{"start-up, bare four-tab window", bareStart, "ms", "", 0, true},
         {"start-up to first paint, Freqsmith", appStart, "ms", "<= 1.2x", appStart / bareStart,
          appStart / bareStart <= 1.2},
         {"first paint, service taking 1 s (vs above)", slowStart, "ms", "<= 1.1x",
          slowStart / appStart, slowStart / appStart <= 1.1},
         {"peak memory, bare four-tab window", bareMem, "MB", "", 0, true},
         {"peak memory, Freqsmith, every tab built", appMem, "MB", "<= 1.15x", appMem / bareMem,
          appMem / bareMem <= 1.15},
         {"detection alone (queries + derivations)", detectionUs / 1000, "ms", "<= 5 ms", 0,
          detectionUs <= 5000},
         {"Calculate, in-memory form", memoryUs, "us", "<= 20 us", 0, memoryUs <= 20},
         {"Calculate, click on Command2 (real window)", clickUs / 1000, "ms", "<= 0.5 ms", 0,
          clickUs <= 500},
         {"Temperature converter, C to F", temperatureUs, "us", "", 0, true},
         {"VRAM converter, Convert", vramUs, "us", "", 0, true},
         {"Airflow converter, Calculate", airflowUs, "us", "", 0, true}},
        processRuns);
  printSteps(bareRuns, appRuns);
  return 0;
}
