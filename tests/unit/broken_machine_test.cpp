// The Linux reader on machine trees broken in the ways a real /proc and /sys, or a careless
// copy of them, can be: huge, truncated, binary and unreadable files, NUL bytes, pipes,
// directories and symlink loops where files belong, and absurd SMBIOS tables. Each tree is
// the intel-desktop fixture with one thing broken, made in a temporary directory at test
// time. Detection must finish quickly, and what it reports must be absent or sane.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <future>
#include <map>
#include <ostream>
#include <random>
#include <string>
#include <system_error>
#include <variant>
#include <vector>

#include "cpuinfo.h"
#include "detection.h"
#include "hardware_query.h"
#include "linux_reader.h"
#include "main_window_controls.h"
#include "named_facts.h"
#include "smbios.h"

namespace freqsmith::detect {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace std::string_literals;
using Clock = std::chrono::steady_clock;

// ThreadSanitizer's check of every memory access makes reading about ten times slower: 50 MB
// of processors, read up to the cap twice, then take 1.4 s on an idle core. The bound there
// still fails a read that blocks or one that goes past the cap.
#if defined(__SANITIZE_THREAD__)
constexpr bool kUnderThreadSanitizer = true;
#elif defined(__has_feature)
constexpr bool kUnderThreadSanitizer = __has_feature(thread_sanitizer);
#else
constexpr bool kUnderThreadSanitizer = false;
#endif
constexpr auto kBound = kUnderThreadSanitizer ? 5s : 1s;
constexpr const char* kIntelName = "Desktop Processor Q4-4200 @ 4.20GHz";

const fs::path kCpuinfo = "proc/cpuinfo";
const fs::path kDmiId = "sys/class/dmi/id";
const fs::path kDmiTable = "sys/firmware/dmi/tables/DMI";
const fs::path kCpu0 = "sys/devices/system/cpu/cpu0";

// A copy of the intel-desktop fixture, removed again at the end of the test.
class Tree {
 public:
  Tree() {
    std::string pattern = (fs::path(::testing::TempDir()) / "freqsmith-tree-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    root_ = pattern;
    fs::copy(fs::path(FREQSMITH_TEST_DATA) / "machines" / "intel-desktop", root_,
             fs::copy_options::recursive);
  }
  ~Tree() {
    std::error_code error;
    fs::remove_all(root_, error);
  }
  Tree(const Tree&) = delete;
  Tree& operator=(const Tree&) = delete;

  const fs::path& root() const { return root_; }

  // Replaces whatever is at `file`.
  fs::path clear(const fs::path& file) const {
    const fs::path path = root_ / file;
    fs::remove_all(path);
    fs::create_directories(path.parent_path());
    return path;
  }
  void write(const fs::path& file, const std::string& bytes) const {
    std::ofstream(clear(file), std::ios::binary) << bytes;
  }
  void fifo(const fs::path& file) {
    const fs::path path = clear(file);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    fifos_.push_back(path);
  }
  void directory(const fs::path& file) const { fs::create_directories(clear(file) / "inside"); }
  void symlink(const fs::path& file, const fs::path& target) const {
    fs::create_symlink(target, clear(file));
  }
  void sparse(const fs::path& file, off_t size) const {
    const fs::path path = clear(file);
    std::ofstream(path, std::ios::binary) << "\x7f\x04";
    ASSERT_EQ(::truncate(path.c_str(), size), 0);
  }

  // Gives every reader stuck on one of the pipes a writer that closes at once, so a
  // detection that does block ends and the test fails instead of hanging.
  void releasePipes() const {
    for (const fs::path& path : fifos_) {
      const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
      if (fd >= 0) ::close(fd);
    }
  }

 private:
  fs::path root_;
  std::vector<fs::path> fifos_;
};

// The three parts as the reader gives them, and the window's fields after the detection
// sequence on top.
struct Detected {
  Hardware hardware;
  std::vector<std::string> fields;
  Clock::duration took{};
};

Detected detect(const fs::path& root) {
  Detected detected;
  const auto start = Clock::now();
  // The processor running the tests is not the one the tree describes.
  const Reader reader = linuxReader(root, nullptr);
  detected.hardware = {reader.processor(), reader.board(), reader.bios()};
  // The whole start-up path as well, the worker included.
  Detection detection(linuxReader(root, nullptr));
  MemoryForm form(mainwin::kControls, mainwin::kExplanationLine);
  (void)runDetection(form, detection.answers());
  for (std::size_t i = 0; i < form.controls().size(); ++i) {
    if (form.controls()[i].kind == ControlKind::Field) {
      detected.fields.push_back(form.text(FieldId{{static_cast<std::uint16_t>(i)}}));
    }
  }
  detected.took = Clock::now() - start;
  return detected;
}

// Detection on a worker, so that one which blocks fails the test rather than hang it.
Detected detectWithinBound(const Tree& tree) {
  auto result = std::async(std::launch::async, [&tree] { return detect(tree.root()); });
  if (result.wait_for(kBound) != std::future_status::ready) {
    ADD_FAILURE() << "detection did not finish within " << kBound.count() << " s";
    tree.releasePipes();
  }
  return result.get();
}

// Texts are short, printable but for tabs; numbers are positive and of a plausible size.
void expectSaneText(const TextFact& fact) {
  if (!fact.value) return;
  const std::string& text = *fact.value;
  SCOPED_TRACE(testing::describe(fact));
  EXPECT_FALSE(text.empty());
  EXPECT_LT(text.size(), 4096u);
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    EXPECT_TRUE(byte >= 0x20 || c == '\t');
    EXPECT_NE(byte, 0x7f);
  }
}

void expectSaneNumber(const NumberFact& fact) {
  if (!fact.value) return;
  SCOPED_TRACE(testing::describe(fact));
  EXPECT_GT(*fact.value, 0);
  EXPECT_LT(*fact.value, 100'000'000);
}

template <class Part>
void expectSaneFacts(Part part) {
  std::apply(
      [](const auto&... fact) {
        const auto sane = [](const auto& f) {
          if constexpr (std::is_same_v<std::decay_t<decltype(f)>, TextFact>) {
            expectSaneText(f);
          } else {
            expectSaneNumber(f);
          }
        };
        (sane(fact), ...);
      },
      facts(part));
}

void expectSane(const Detected& detected) {
  expectSaneFacts(detected.hardware.processor);
  expectSaneFacts(detected.hardware.board);
  expectSaneFacts(detected.hardware.bios);
  for (std::size_t i = 0, n = 0; i < mainwin::kControls.size(); ++i) {
    const Control& control = mainwin::kControls[i];
    if (control.kind != ControlKind::Field) continue;
    if (control.maxLength != 0) {
      EXPECT_LE(detected.fields[n].size(), 4u * control.maxLength) << control.name;
    }
    ++n;
  }
}

struct Expectation {
  std::string_view fact;  // by the names of named_facts.h
  const char* value;      // as testing::describe() gives it
};

struct BrokenRow {
  const char* name;
  void (*breakIt)(Tree& tree);
  std::vector<Expectation> expected;
  friend std::ostream& operator<<(std::ostream& out, const BrokenRow& row) {
    return out << row.name;
  }
};

std::string rowName(const ::testing::TestParamInfo<BrokenRow>& info) {
  std::string name;
  for (const char* c = info.param.name; *c; ++c) {
    name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
  }
  return name;
}

class BrokenMachine : public ::testing::TestWithParam<BrokenRow> {};

TEST_P(BrokenMachine, DetectsQuicklyAndReportsOnlySaneValues) {
  Tree tree;
  GetParam().breakIt(tree);
  const Detected detected = detectWithinBound(tree);
  EXPECT_LT(detected.took, kBound);
  RecordProperty("detection_us", static_cast<int>(detected.took / 1us));
  expectSane(detected);
  for (const Expectation& expected : GetParam().expected) {
    EXPECT_EQ(testing::describeFact(detected.hardware, expected.fact), expected.value)
        << expected.fact;
  }
}

constexpr const char* kAbsent = "absent";
constexpr const char* kIntelNameFound = "\"Desktop Processor Q4-4200 @ 4.20GHz\" (cpuinfo)";

// A cpuinfo block for CPU `n`, as the kernel writes it.
std::string processorBlock(int n) {
  return "processor\t: " + std::to_string(n) +
         "\nvendor_id\t: GenuineIntel\nmodel name\t: " + kIntelName +
         "\ncpu MHz\t\t: 800.024\nphysical id\t: 0\nflags\t\t: fpu vme de pse tsc msr pae mce "
         "cx8 apic sep mtrr\nbogomips\t: 8399.81\n\n";
}

// 50 MB of processor blocks, written a megabyte at a time.
void hugeCpuinfo(Tree& tree) {
  std::ofstream out(tree.clear(kCpuinfo), std::ios::binary);
  std::string chunk;
  int n = 0;
  for (int megabyte = 0; megabyte < 50; ++megabyte) {
    chunk.clear();
    while (chunk.size() < (1u << 20)) chunk += processorBlock(n++);
    out << chunk;
  }
}

// As many CPUs as a megabyte holds, each naming itself in a line of its own and nothing
// else, so every one of them costs sysfs look-ups.
void tinyBlocksCpuinfo(Tree& tree) {
  std::string text = processorBlock(0);
  for (int n = 1; text.size() < kCpuinfoCap; ++n)
    text += "processor\t: " + std::to_string(n) + "\n";
  tree.write(kCpuinfo, text);
}

std::string randomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xff);
  return bytes;
}

std::string fixtureText(const fs::path& file) {
  std::ifstream in(fs::path(FREQSMITH_TEST_DATA) / "machines" / "intel-desktop" / file,
                   std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A type-4 structure claiming a length far past the end of the table, after a good BIOS one.
std::string tableWithHugeLength() {
  std::string table =
      "\x00\x18\x00\x00\x01\x02\x00\xf0\x03\x00\x00\x00\x00\x00\x00\x00"s
      "\x00\x00\x00\x00\x00\x00\x00\x00Vendor\0Version\0Date\0\0"s;
  table += "\x04\xff\x01\x00\x01\x01\x02\x03"s;
  return table;
}

// Tens of thousands of empty structures: far past the structure cap.
std::string tableOfManyStructures() {
  std::string table;
  while (table.size() < kSmbiosTableCap) table += "\x04\x04\x00\x00\x00\x00"s;
  return table;
}

INSTANTIATE_TEST_SUITE_P(
    Cpuinfo, BrokenMachine,
    ::testing::Values(
        BrokenRow{"the intact fixture",
                  [](Tree&) {},
                  {{"name", kIntelNameFound},
                   {"speed", "3600 (sysfs)"},
                   {"board maker", "\"Board Maker Inc.\" (sysfs)"}}},
        BrokenRow{"50 MB of processors",
                  hugeCpuinfo,
                  {{"name", kIntelNameFound}, {"maker", "\"GenuineIntel\" (cpuinfo)"}}},
        BrokenRow{
            "a megabyte of one-line processors", tinyBlocksCpuinfo, {{"name", kIntelNameFound}}},
        BrokenRow{"cut in the middle of the model name",
                  [](Tree& tree) { tree.write(kCpuinfo, fixtureText(kCpuinfo).substr(0, 100)); },
                  {{"name", "\"Desktop Processor Q4\" (cpuinfo)"},
                   {"maker", "\"GenuineIntel\" (cpuinfo)"}}},
        BrokenRow{"cut in the middle of a key",
                  [](Tree& tree) { tree.write(kCpuinfo, fixtureText(kCpuinfo).substr(0, 45)); },
                  {{"name", kAbsent}, {"maker", "\"GenuineIntel\" (cpuinfo)"}}},
        BrokenRow{"random bytes",
                  [](Tree& tree) { tree.write(kCpuinfo, randomBytes(1 << 16, 1)); },
                  {{"board maker", "\"Board Maker Inc.\" (sysfs)"}}},
        BrokenRow{"random bytes past the read limit",
                  [](Tree& tree) { tree.write(kCpuinfo, randomBytes(3 << 20, 2)); },
                  {}},
        BrokenRow{"NUL bytes inside the lines",
                  [](Tree& tree) {
                    std::string text = fixtureText(kCpuinfo);
                    for (std::size_t i = 40; i < text.size(); i += 50) text[i] = '\0';
                    tree.write(kCpuinfo, text);
                  },
                  {}},
        BrokenRow{"a pipe", [](Tree& tree) { tree.fifo(kCpuinfo); }, {{"name", kAbsent}}},
        BrokenRow{"a directory", [](Tree& tree) { tree.directory(kCpuinfo); }, {{"name", kAbsent}}},
        BrokenRow{"a symlink to itself",
                  [](Tree& tree) { tree.symlink(kCpuinfo, "cpuinfo"); },
                  {{"name", kAbsent}, {"BIOS version", "\"1203\" (sysfs)"}}},
        BrokenRow{"a symlink to an endless device",
                  [](Tree& tree) { tree.symlink(kCpuinfo, "/dev/zero"); },
                  {{"name", kAbsent}}},
        // Opens, claims to be a regular file, and fails at the first read.
        BrokenRow{"unreadable",
                  [](Tree& tree) { tree.symlink(kCpuinfo, "/proc/self/mem"); },
                  {{"name", kAbsent}}}),
    rowName);

INSTANTIATE_TEST_SUITE_P(
    Sysfs, BrokenMachine,
    ::testing::Values(
        // cpufreq unusable: the clock comes from cpuinfo's "cpu MHz" instead.
        BrokenRow{
            "NUL bytes in the current clock",
            [](Tree& tree) { tree.write(kCpu0 / "cpufreq" / "scaling_cur_freq", "3600478\0\n"s); },
            {{"speed", "800 (cpuinfo)"}}},
        BrokenRow{"a pipe for the current clock",
                  [](Tree& tree) { tree.fifo(kCpu0 / "cpufreq" / "scaling_cur_freq"); },
                  {{"speed", "800 (cpuinfo)"}}},
        BrokenRow{"a directory for the current clock",
                  [](Tree& tree) { tree.directory(kCpu0 / "cpufreq" / "scaling_cur_freq"); },
                  {{"speed", "800 (cpuinfo)"}}},
        BrokenRow{"a symlink loop for cpu0",
                  [](Tree& tree) {
                    tree.symlink(kCpu0, "cpu0b");
                    tree.symlink("sys/devices/system/cpu/cpu0b", "cpu0");
                  },
                  {{"speed", "800 (cpuinfo)"}, {"name", kIntelNameFound}}},
        BrokenRow{"a pipe for a cache level",
                  [](Tree& tree) { tree.fifo(kCpu0 / "cache" / "index2" / "level"); },
                  {{"name", kIntelNameFound}}},
        BrokenRow{"a 100 KB board vendor",
                  [](Tree& tree) {
                    tree.write(kDmiId / "board_vendor",
                               std::string(std::size_t{100} * 1024, 'A') + "\n");
                  },
                  {{"board maker", kAbsent}, {"board product", "\"BM-Z270 DESKTOP\" (sysfs)"}}},
        BrokenRow{"NUL bytes in the board vendor",
                  [](Tree& tree) { tree.write(kDmiId / "board_vendor", "BMKR\0\0\0\n"s); },
                  {{"board maker", kAbsent}}},
        BrokenRow{"a pipe for the board vendor",
                  [](Tree& tree) { tree.fifo(kDmiId / "board_vendor"); },
                  {{"board maker", kAbsent}, {"board version", "\"Rev 1.xx\" (sysfs)"}}},
        BrokenRow{"a directory for the BIOS version",
                  [](Tree& tree) { tree.directory(kDmiId / "bios_version"); },
                  {{"BIOS version", kAbsent}, {"board version", "\"Rev 1.xx\" (sysfs)"}}},
        BrokenRow{"a symlink to itself for the BIOS version",
                  [](Tree& tree) { tree.symlink(kDmiId / "bios_version", "bios_version"); },
                  {{"BIOS version", kAbsent}}},
        // Without the kernel's copies the strings come from the table.
        BrokenRow{"a symlink loop for the DMI directory",
                  [](Tree& tree) { tree.symlink(kDmiId, "id"); },
                  {{"board maker", "\"Board Maker Inc. (table)\" (SMBIOS)"},
                   {"BIOS version", "\"1203\" (SMBIOS)"}}},
        BrokenRow{"a file for the DMI directory",
                  [](Tree& tree) { tree.write(kDmiId, "board_vendor\n"); },
                  {{"board maker", "\"Board Maker Inc. (table)\" (SMBIOS)"}}}),
    rowName);

INSTANTIATE_TEST_SUITE_P(
    SmbiosTable, BrokenMachine,
    ::testing::Values(
        BrokenRow{"a structure length past the end",
                  [](Tree& tree) { tree.write(kDmiTable, tableWithHugeLength()); },
                  {{"socket", kAbsent}, {"bus", kAbsent}, {"name", kIntelNameFound}}},
        BrokenRow{"more structures than the cap",
                  [](Tree& tree) { tree.write(kDmiTable, tableOfManyStructures()); },
                  {{"socket", kAbsent}, {"bus", kAbsent}}},
        BrokenRow{"random bytes",
                  [](Tree& tree) { tree.write(kDmiTable, randomBytes(1 << 16, 3)); },
                  {{"name", kIntelNameFound}}},
        BrokenRow{"a 2 GB sparse table",
                  [](Tree& tree) { tree.sparse(kDmiTable, off_t{2} << 30); },
                  {{"socket", kAbsent}}},
        BrokenRow{"a pipe",
                  [](Tree& tree) { tree.fifo(kDmiTable); },
                  {{"socket", kAbsent}, {"name", kIntelNameFound}}},
        BrokenRow{"a directory", [](Tree& tree) { tree.directory(kDmiTable); }, {{"bus", kAbsent}}},
        BrokenRow{"cut in the middle",
                  [](Tree& tree) { tree.write(kDmiTable, fixtureText(kDmiTable).substr(0, 150)); },
                  {{"name", kIntelNameFound}}}),
    rowName);

// Every cut of a real cpuinfo: whatever survives is a prefix of what the whole file says.
TEST(TruncatedCpuinfo, GivesPrefixesOfTheWholeValuesAtEveryCut) {
  const std::string whole = fixtureText(kCpuinfo);
  ASSERT_FALSE(whole.empty());
  for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
    const Cpuinfo info = parseCpuinfo(std::string_view(whole).substr(0, cut));
    ASSERT_LE(info.cpus.size(), 8u) << cut;
    for (const LogicalCpu& cpu : info.cpus) {
      for (const auto& [key, value] : cpu.fields) {
        if (key == "model name") {
          ASSERT_TRUE(std::string_view(kIntelName).starts_with(value)) << cut;
        }
        if (key == "vendor_id") {
          ASSERT_TRUE(std::string_view("GenuineIntel").starts_with(value)) << cut;
        }
      }
    }
  }
}

}  // namespace
}  // namespace freqsmith::detect
