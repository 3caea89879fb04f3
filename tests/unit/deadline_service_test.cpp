// The deadline service in front of backends that answer, hang or throw: the detection
// sequence returns within the deadline, fields the backend did not answer in time keep
// their design texts, and a worker that finishes late touches nothing freed.
#include "deadline_service.h"

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <ostream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "fake_service.h"
#include "hardware_query.h"
#include "main_window_controls.h"
#include "troubled_service.h"

namespace freqsmith::detect {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using mainwin::field;
using mainwin::label;

constexpr std::chrono::milliseconds kDeadline = 200ms;
// Thread start-up, a loaded machine and the sanitizers' slowdown on top of the deadline.
constexpr std::chrono::milliseconds kSlack = 300ms;

using freqsmith::testing::Gate;
using freqsmith::testing::How;
using freqsmith::testing::Trouble;
using freqsmith::testing::TroubledService;
using freqsmith::testing::Where;

RecordInstance desktopProcessor() {
  return RecordInstance{{"Manufacturer", "AuthenticAMD"},
                        {"ExtClock", std::int64_t{200}},
                        {"CurrentClockSpeed", std::int64_t{2000}},
                        {"L2CacheSize", std::int64_t{512}},
                        {"Name", "Test Processor"},
                        {"SocketDesignation", "Socket 939"}};
}

// The desktop, with only what `kept` lets through: what the backend gets out in time.
FakeService desktop(bool (*kept)(std::string_view className, std::string_view property)) {
  const std::vector<std::pair<const char*, RecordInstance>> full{
      {"Win32_Processor", desktopProcessor()},
      {"Win32_BaseBoard",
       RecordInstance{{"Manufacturer", "Board Maker"}, {"Product", "BM-7"}, {"Version", "1.0"}}},
      {"Win32_BIOS", RecordInstance{{"Version", "BIOS 1.07"}, {"Manufacturer", "Firmware"}}},
  };
  FakeService service;
  for (const auto& [className, record] : full) {
    for (const QueriedClass& queried : startupClasses()) {
      if (!sameName(queried.className, className)) continue;
      RecordInstance filtered;
      bool any = false;
      for (const std::string& property : queried.properties) {
        const auto value = record.property(property);
        if (value && kept(className, property)) {
          filtered.set(property, *value);
          any = true;
        }
      }
      if (any || kept(className, "")) service.add(className, filtered);
    }
  }
  return service;
}

bool everything(std::string_view, std::string_view) {
  return true;
}

// Every text of the window: fields and label captions, in table order.
std::vector<std::string> texts(const Form& form) {
  std::vector<std::string> all;
  for (std::size_t i = 0; i < form.controls().size(); ++i) {
    const auto index = static_cast<std::uint16_t>(i);
    switch (form.controls()[i].kind) {
      case ControlKind::Field:
        all.push_back(form.text(FieldId{{index}}));
        break;
      case ControlKind::Label:
        all.push_back(form.caption(LabelId{{index}}));
        break;
      default:
        break;
    }
  }
  return all;
}

// What the window holds after detection straight through `service`, the old way.
std::vector<std::string> detectedDirectly(ManagementService& service) {
  MemoryForm form(mainwin::kControls, mainwin::kExplanationLine);
  runDetection(service, form);
  return texts(form);
}

struct TroubleRow {
  const char* name;
  Trouble trouble;
  bool (*kept)(std::string_view className, std::string_view property);
  friend std::ostream& operator<<(std::ostream& out, const TroubleRow& row) {
    return out << row.name;
  }
};

class TroubledBackend : public ::testing::Test {
 protected:
  // Lets every hung backend go and waits for its worker to drop it, so each test ends with
  // no thread left behind and the sanitizers see the late worker run to its end.
  void TearDown() override {
    gate_->open();
    const auto until = Clock::now() + 10s;
    while (!backendGone() && Clock::now() < until) std::this_thread::sleep_for(1ms);
    EXPECT_TRUE(backendGone()) << "the worker still holds the backend";
  }

  std::shared_ptr<TroubledService> troubled(Trouble trouble) {
    auto service = std::make_shared<TroubledService>(desktop(everything), trouble, gate_);
    backend_ = service;
    return service;
  }
  bool backendGone() const { return backend_.expired(); }

  std::shared_ptr<Gate> gate_ = std::make_shared<Gate>();
  std::weak_ptr<TroubledService> backend_;
};

class DeadlineServiceTest : public TroubledBackend,
                            public ::testing::WithParamInterface<TroubleRow> {};

TEST_P(DeadlineServiceTest, AnswersWhatCameInTimeAndReturnsByTheDeadline) {
  const TroubleRow& row = GetParam();
  MemoryForm form(mainwin::kControls, mainwin::kExplanationLine);
  const auto start = Clock::now();
  DeadlineService service(troubled(row.trouble), kDeadline);
  runDetection(service, form);
  const auto took = Clock::now() - start;

  const bool hangs = row.trouble.where != Where::Nowhere && row.trouble.how == How::Hang;
  EXPECT_LT(took, (hangs ? kDeadline : 0ms) + kSlack);
  if (hangs) {
    EXPECT_GE(took, kDeadline - 5ms);
  }
  EXPECT_EQ(service.gatheredInTime(), !hangs);

  FakeService expected = desktop(row.kept);
  EXPECT_EQ(texts(form), detectedDirectly(expected));
}

INSTANTIATE_TEST_SUITE_P(
    Backends, DeadlineServiceTest,
    ::testing::Values(
        TroubleRow{"healthy", {}, everything},
        // Hanging: what was read before stays, everything after is cut off.
        TroubleRow{"hangs connecting for the processor",
                   {Where::Connect, How::Hang, 0},
                   [](std::string_view, std::string_view) { return false; }},
        TroubleRow{"hangs connecting for the board",
                   {Where::Connect, How::Hang, 1},
                   [](std::string_view c, std::string_view) { return c == "Win32_Processor"; }},
        TroubleRow{"hangs connecting for the BIOS",
                   {Where::Connect, How::Hang, 2},
                   [](std::string_view c, std::string_view) { return c != "Win32_BIOS"; }},
        TroubleRow{"hangs listing the boards",
                   {Where::InstancesOf, How::Hang, 0, "Win32_BaseBoard"},
                   [](std::string_view c, std::string_view) { return c == "Win32_Processor"; }},
        TroubleRow{"hangs reading the processor name",
                   {Where::Property, How::Hang, 0, "Name"},
                   [](std::string_view c, std::string_view p) {
                     return c == "Win32_Processor" && p != "Name" && p != "socketdesignation";
                   }},
        TroubleRow{"hangs reading a version",
                   {Where::Property, How::Hang, 0, "Version"},
                   [](std::string_view c, std::string_view p) {
                     return c == "Win32_Processor" || (c == "Win32_BaseBoard" && p != "Version");
                   }},
        // Throwing: that class stops there, the next class is read as usual.
        TroubleRow{"throws connecting for the processor",
                   {Where::Connect, How::Throw, 0},
                   [](std::string_view c, std::string_view) { return c != "Win32_Processor"; }},
        TroubleRow{"throws listing the boards",
                   {Where::InstancesOf, How::Throw, 0, "Win32_BaseBoard"},
                   [](std::string_view c, std::string_view) { return c != "Win32_BaseBoard"; }},
        TroubleRow{"throws reading the clock",
                   {Where::Property, How::Throw, 0, "CurrentClockSpeed"},
                   [](std::string_view c, std::string_view p) {
                     return c != "Win32_Processor" || p == "manufacturer" || p == "extclock";
                   }},
        TroubleRow{"throws reading every version",
                   {Where::Property, How::Throw, 0, "Version"},
                   [](std::string_view c, std::string_view p) {
                     return c == "Win32_Processor" || (c == "Win32_BaseBoard" && p != "Version");
                   }}),
    [](const ::testing::TestParamInfo<TroubleRow>& info) {
      std::string name;
      for (const char* c = info.param.name; *c; ++c) {
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
      }
      return name;
    });

class HungBackend : public TroubledBackend {};

TEST_F(HungBackend, LeavesEveryDetectionFieldWithItsDesignText) {
  MemoryForm form(mainwin::kControls, mainwin::kExplanationLine);
  DeadlineService service(troubled({Where::Connect, How::Hang, 0}), kDeadline);
  runDetection(service, form);
  EXPECT_EQ(form.text(field("Textmaker")), "maker");
  EXPECT_EQ(form.text(field("Textcputype")), "CPU Type");
  EXPECT_EQ(form.text(field("textsocket")), "Socket XXX");
  EXPECT_EQ(form.text(field("Textarch")), "sysclk");
  EXPECT_EQ(form.text(field("Textcpuspeed")), "Current Speed");
  EXPECT_EQ(form.text(field("Textweb")), "Text1");
  EXPECT_EQ(form.text(field("Textversion")), "Text1");
  EXPECT_EQ(form.text(field("Textl2size")), "xxx");
  EXPECT_EQ(form.caption(label("labmhz")), "Current Speed");
  EXPECT_EQ(form.caption(label("Label51")), "sysclk");
  MemoryForm untouched(mainwin::kControls, mainwin::kExplanationLine);
  FakeService unreachable;
  unreachable.setReachable(false);
  runDetection(unreachable, untouched);
  EXPECT_EQ(texts(form), texts(untouched));
}

TEST_F(HungBackend, FreezesTheAnswersAtTheDeadline) {
  MemoryForm form(mainwin::kControls, mainwin::kExplanationLine);
  DeadlineService service(troubled({Where::Property, How::Hang, 0, "Name"}), kDeadline);
  QueryProcessor(service, form);
  EXPECT_FALSE(service.gatheredInTime());
  // Released now, the backend would give the rest within a moment; the later queries must
  // not see it, or the window would show a mix that depends on timing.
  gate_->open();
  std::this_thread::sleep_for(50ms);
  QueryBaseBoard(service, form);
  QueryBios(service, form);
  EXPECT_EQ(form.text(field("Textmaker")), "AuthenticAMD");
  EXPECT_EQ(form.text(field("Textcputype")), "CPU Type");
  EXPECT_EQ(form.text(field("Textweb")), "Text1");
  EXPECT_EQ(form.text(field("Textversion")), "Text1");
}

TEST_F(HungBackend, OutlivesTheServiceAndTheFormWithoutTouchingThem) {
  {
    MemoryForm form(mainwin::kControls, mainwin::kExplanationLine);
    DeadlineService service(troubled({Where::Property, How::Hang, 0, "Manufacturer"}), kDeadline);
    runDetection(service, form);
  }
  // The worker is still inside the backend; it now returns into state only it still holds.
  EXPECT_FALSE(backendGone());
  gate_->open();
}

TEST_F(HungBackend, GoesAtOnceWhenNobodyAsked) {
  const auto start = Clock::now();
  {
    DeadlineService service(troubled({Where::Connect, How::Hang, 0}), 10s);
    std::this_thread::sleep_for(20ms);
  }
  EXPECT_LT(Clock::now() - start, 20ms + kSlack);
}

TEST_F(HungBackend, CountsTheDeadlineFromTheStartOfGathering) {
  DeadlineService service(troubled({Where::Connect, How::Hang, 0}), kDeadline);
  // Whatever the window does before it asks, such as building its widgets, is part of the
  // wait, so start-up is never held up by more than the deadline in all.
  std::this_thread::sleep_for(kDeadline);
  const auto start = Clock::now();
  EXPECT_NE(service.connect(), nullptr);
  EXPECT_LT(Clock::now() - start, 50ms);
}

TEST(DeadlineService, WithoutABackendAnswersNothing) {
  DeadlineService service(nullptr, kDeadline);
  MemoryForm form(mainwin::kControls, mainwin::kExplanationLine);
  runDetection(service, form);
  EXPECT_TRUE(service.gatheredInTime());
  EXPECT_EQ(form.text(field("Textmaker")), "maker");
}

TEST(DeadlineService, GivesEveryInstanceInTheBackendsOrder) {
  auto machine = std::make_shared<FakeService>();
  machine->add("Win32_Processor", RecordInstance{{"Name", "first"}, {"Caption", "not asked"}});
  machine->add("Win32_Processor", RecordInstance{{"Name", "second"}});
  machine->add("Win32_Fan", RecordInstance{{"Name", "not a start-up class"}});
  DeadlineService service(machine, kDeadline);
  const auto connection = service.connect();
  ASSERT_NE(connection, nullptr);
  const auto processors = connection->instancesOf("WIN32_PROCESSOR");
  ASSERT_EQ(processors.size(), 2u);
  EXPECT_EQ(processors[0]->property("name"), (Property{"first", Source::Wmi}));
  EXPECT_EQ(processors[0]->property("Caption"), std::nullopt);
  EXPECT_EQ(processors[1]->property("Name"), (Property{"second", Source::Wmi}));
  EXPECT_TRUE(connection->instancesOf("Win32_Fan").empty());
  // Each class through its own connection, as the queries do.
  EXPECT_EQ(machine->connections(), 3);
}

TEST(DeadlineService, PassesOnWhereEachValueCameFromAndWhyOneIsMissing) {
  RecordInstance processor;
  processor.set("CurrentClockSpeed", Property{std::int64_t{3600}, Source::Sysfs});
  processor.set("ExtClock", Property{std::int64_t{100}, Source::Cpuid});
  processor.setGap("SocketDesignation", Gap::AdministratorOnly);
  auto machine = std::make_shared<FakeService>();
  machine->add("Win32_Processor", processor);
  DeadlineService service(machine, kDeadline);
  const auto processors = service.connect()->instancesOf("Win32_Processor");
  ASSERT_EQ(processors.size(), 1u);
  EXPECT_EQ(processors[0]->property("ExtClock"), (Property{std::int64_t{100}, Source::Cpuid}));
  EXPECT_EQ(processors[0]->property("currentclockspeed"),
            (Property{std::int64_t{3600}, Source::Sysfs}));
  EXPECT_EQ(processors[0]->property("SocketDesignation"), std::nullopt);
  EXPECT_EQ(processors[0]->gap("SocketDesignation"), Gap::AdministratorOnly);
  EXPECT_EQ(processors[0]->gap("Name"), Gap::NotReported);
}

TEST(DeadlineService, StartedLaterReadsNothingBeforeAndCountsItsTimeFromTheStart) {
  auto machine = std::make_shared<FakeService>(desktop(everything));
  DeadlineService service(machine, DeadlineService::Start::Later);
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(machine->connections(), 0);
  const auto before = Clock::now();
  service.start();
  EXPECT_GE(service.deadline(), before + DeadlineService::kTimeLimit);
  MemoryForm form(mainwin::kControls, mainwin::kExplanationLine);
  runDetection(service, form);
  EXPECT_EQ(form.text(field("Textmaker")), "AuthenticAMD");
  EXPECT_TRUE(service.answeredInFull());
}

TEST(DeadlineService, AskedForItsAnswersStartsOfItself) {
  auto machine = std::make_shared<FakeService>(desktop(everything));
  DeadlineService service(machine, DeadlineService::Start::Later);
  MemoryForm form(mainwin::kControls, mainwin::kExplanationLine);
  runDetection(service, form);
  EXPECT_EQ(form.text(field("Textweb")), "Board Maker");
  EXPECT_EQ(machine->connections(), 3);
}

}  // namespace
}  // namespace freqsmith::detect
