// The processor from cpuinfo, sysfs and the SMBIOS table; the board and BIOS from the
// kernel's copies of the DMI strings, or from the table itself.
#include "linux_reader.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "cpuinfo.h"
#include "file_text.h"
#include "smbios.h"
#include "sysfs_cpu.h"

namespace freqsmith::detect {
namespace {

namespace smbios_type {
constexpr std::uint8_t kBios = 0;
constexpr std::uint8_t kBaseBoard = 2;
constexpr std::uint8_t kProcessor = 4;
}  // namespace smbios_type

// Bit 6 of the processor status byte: a processor sits in the socket.
constexpr std::uint8_t kSocketPopulated = 0x40;

template <class T>
Fact<T> from(std::optional<T> value, Source source) {
  return {std::move(value), source};
}

std::optional<std::string> cleanString(const std::optional<std::string>& text) {
  return text ? cleanText(*text) : std::nullopt;
}

// SMBIOS speeds are WORDs where 0 means unknown; virtual machines write 0.
std::optional<std::int64_t> knownWord(const SmbiosStructure* structure, std::size_t offset) {
  if (structure == nullptr) return std::nullopt;
  const std::optional<std::uint16_t> word = smbiosWord(*structure, offset);
  if (!word || *word == 0) return std::nullopt;
  return *word;
}

const SmbiosStructure* firstOfType(const std::vector<SmbiosStructure>& table, std::uint8_t type) {
  for (const SmbiosStructure& structure : table) {
    if (structure.type == type) return &structure;
  }
  return nullptr;
}

// The processor structures of occupied sockets, in table order. Should the status bytes
// claim every socket empty, which some firmware does, they are all kept instead.
std::vector<const SmbiosStructure*> occupiedSockets(const std::vector<SmbiosStructure>& table) {
  std::vector<const SmbiosStructure*> all;
  std::vector<const SmbiosStructure*> occupied;
  for (const SmbiosStructure& structure : table) {
    if (structure.type != smbios_type::kProcessor) continue;
    all.push_back(&structure);
    const std::optional<std::uint8_t> status = smbiosByte(structure, 0x18);
    if (!status || (*status & kSocketPopulated) != 0) occupied.push_back(&structure);
  }
  return occupied.empty() ? all : occupied;
}

// A DMI string: the kernel's world-readable copy under /sys/class/dmi/id, and where the
// firmware's table has it.
struct DmiString {
  const char* file;
  std::size_t offset;
};

// The machine's files, each read at most once for the three parts.
class LinuxMachine {
 public:
  explicit LinuxMachine(std::filesystem::path root) : root_(std::move(root)) {}

  Processor processor() {
    const Cpuinfo& info = cpuinfo();
    const SysfsCpus sysfs(root_ / "sys" / "devices" / "system" / "cpu");
    const std::vector<CpuPackage> packages =
        groupPackages(info, [&sysfs](int cpu) { return sysfs.packageId(cpu); });
    const std::vector<const SmbiosStructure*> sockets = occupiedSockets(smbios());
    // Each package is an instance of the processor, as it would be in the table.
    Processor last;
    for (std::size_t n = 0; n < packages.size(); ++n) {
      const SmbiosStructure* socket = n < sockets.size() ? sockets[n] : nullptr;
      overwrite(last, package(info, packages[n], sysfs, socket));
    }
    return last;
  }

  Board board() {
    const std::vector<TextFact> strings =
        dmiStrings(smbios_type::kBaseBoard,
                   {{"board_vendor", 0x04}, {"board_name", 0x05}, {"board_version", 0x06}});
    return {strings[0], strings[1], strings[2]};
  }

  Bios bios() { return {dmiStrings(smbios_type::kBios, {{"bios_version", 0x05}})[0]}; }

 private:
  Processor package(const Cpuinfo& info, const CpuPackage& package, const SysfsCpus& sysfs,
                    const SmbiosStructure* socket) const {
    std::vector<int> numbers;
    for (const std::size_t i : package.cpus) numbers.push_back(info.cpus[i].number);
    const auto field = [&](std::string_view key) -> std::optional<std::string> {
      const std::optional<std::string_view> value = packageField(info, package, key);
      return value ? std::optional<std::string>(*value) : std::nullopt;
    };

    Processor processor;
    processor.maker = from(field("vendor_id"), Source::Cpuinfo);
    // ARM kernels leave out "model name"; older ones name the core in "Processor", and the
    // SoC is in "Hardware".
    std::optional<std::string> name = field("model name");
    if (!name) name = field("Processor");
    if (!name) name = field("Hardware");
    processor.name = from(std::move(name), Source::Cpuinfo);

    // What the processor runs at now: cpufreq, else cpuinfo; else the table's figure.
    const std::optional<std::string> cpuinfoMhz = field("cpu MHz");
    if (auto mhz = sysfs.cpufreqMhz(numbers.front(), "scaling_cur_freq")) {
      processor.speedMhz = from(mhz, Source::Sysfs);
    } else if (auto parsed = cpuinfoMhz ? parseMhz(*cpuinfoMhz) : std::nullopt) {
      processor.speedMhz = from(parsed, Source::Cpuinfo);
    } else {
      processor.speedMhz = from(knownWord(socket, 0x16), Source::Smbios);
    }
    processor.level2Kb = from(sysfs.level2CacheKb(numbers), Source::Sysfs);

    // Only the table knows the bus clock and the socket; where it cannot be read, its reason.
    processor.busMhz = from(knownWord(socket, 0x12), Source::Smbios);
    processor.socket =
        from(socket ? cleanString(smbiosStringAt(*socket, 0x04)) : std::nullopt, Source::Smbios);
    if (!processor.busMhz.value) processor.busMhz.why = smbiosGap_;
    if (!processor.socket.value) processor.socket.why = smbiosGap_;
    return processor;
  }

  // The board's and the BIOS's strings: the kernel's copies where it has them, else the
  // table's; none when neither is there.
  std::vector<TextFact> dmiStrings(std::uint8_t type, std::initializer_list<DmiString> strings) {
    std::vector<TextFact> facts(strings.size());
    std::error_code error;
    const std::filesystem::path dir = root_ / "sys" / "class" / "dmi" / "id";
    if (std::filesystem::is_directory(dir, error)) {
      std::size_t i = 0;
      for (const DmiString& string : strings) {
        facts[i++] = from(readValueFile(dir / string.file), Source::Sysfs);
      }
    } else if (const SmbiosStructure* structure = firstOfType(smbios(), type)) {
      std::size_t i = 0;
      for (const DmiString& string : strings) {
        facts[i++] = from(cleanString(smbiosStringAt(*structure, string.offset)), Source::Smbios);
      }
    }
    return facts;
  }

  const Cpuinfo& cpuinfo() {
    if (!cpuinfo_) {
      std::optional<std::string> text = readFileBounded(root_ / "proc" / "cpuinfo", kCpuinfoCap);
      // A cut-off last line could give a truncated value, so it is dropped.
      if (text && text->size() >= kCpuinfoCap) text->erase(text->rfind('\n') + 1);
      cpuinfo_ = parseCpuinfo(text.value_or(std::string()));
    }
    return *cpuinfo_;
  }

  const std::vector<SmbiosStructure>& smbios() {
    if (!smbios_) {
      const std::filesystem::path file = root_ / "sys" / "firmware" / "dmi" / "tables" / "DMI";
      const std::optional<std::string> raw = readFileBounded(file, kSmbiosTableCap);
      smbios_ = raw ? parseSmbiosTable(std::span(reinterpret_cast<const std::uint8_t*>(raw->data()),
                                                 raw->size()))
                    : std::vector<SmbiosStructure>();
      // The kernel lets only the administrator read the table.
      if (!raw) smbiosGap_ = openDenied(file) ? Why::AdministratorOnly : Why::NotReported;
    }
    return *smbios_;
  }

  std::filesystem::path root_;
  std::optional<Cpuinfo> cpuinfo_;
  std::optional<std::vector<SmbiosStructure>> smbios_;
  Why smbiosGap_ = Why::NotReported;  // why the table gave nothing, when it did not
};

}  // namespace

Reader linuxReader(std::filesystem::path root, std::shared_ptr<const CpuidReader> cpuid) {
  auto machine = std::make_shared<LinuxMachine>(std::move(root));
  return {[machine] { return machine->processor(); }, [machine] { return machine->board(); },
          [machine] { return machine->bios(); }, std::move(cpuid)};
}

}  // namespace freqsmith::detect
