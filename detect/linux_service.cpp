// Builds the processor, board and BIOS instances from cpuinfo, sysfs, SMBIOS and CPUID.
#include "linux_service.h"

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

using Instances = std::vector<std::unique_ptr<ServiceInstance>>;

template <class T>
void setFrom(RecordInstance& record, std::string_view name, const std::optional<T>& value,
             Source source) {
  if (value) record.set(name, Property{*value, source});
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

class LinuxConnection final : public ServiceConnection {
 public:
  LinuxConnection(std::filesystem::path root, std::shared_ptr<const CpuidReader> cpuid)
      : root_(std::move(root)), cpuid_(std::move(cpuid)) {}

  Instances instancesOf(std::string_view className) override {
    try {
      if (sameName(className, "Win32_Processor")) return processors();
      if (sameName(className, "Win32_BaseBoard")) return baseBoard();
      if (sameName(className, "Win32_BIOS")) return bios();
    } catch (...) {
      // Only allocation can fail here; the caller is better off with nothing than a throw.
    }
    return {};
  }

 private:
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
      if (!raw) smbiosGap_ = openDenied(file) ? Gap::AdministratorOnly : Gap::NotReported;
    }
    return *smbios_;
  }

  // The kernel's copies of the DMI strings, readable without privileges.
  std::optional<std::filesystem::path> dmiIdDir() const {
    std::filesystem::path dir = root_ / "sys" / "class" / "dmi" / "id";
    std::error_code error;
    if (!std::filesystem::is_directory(dir, error)) return std::nullopt;
    return dir;
  }

  // The first answer wins: the socket's SMBIOS word where it is not 0, then CPUID.
  void setBusClock(RecordInstance& record, const SmbiosStructure* socket) {
    if (const std::optional<std::int64_t> word = knownWord(socket, 0x12)) {
      record.set("ExtClock", Property{*word, Source::Smbios});
    } else if (const std::optional<std::int64_t> cpuid = cpuidBus()) {
      record.set("ExtClock", Property{*cpuid, Source::Cpuid});
    } else {
      record.setGap("ExtClock", smbiosGap_);
    }
  }

  std::optional<std::int64_t> cpuidBus() {
    if (!cpuidBus_) cpuidBus_ = cpuid_ ? cpuidBusMhz(*cpuid_) : std::nullopt;
    return *cpuidBus_;
  }

  Instances processors() {
    const Cpuinfo& info = cpuinfo();
    const SysfsCpus sysfs(root_ / "sys" / "devices" / "system" / "cpu");
    const std::vector<CpuPackage> packages =
        groupPackages(info, [&sysfs](int cpu) { return sysfs.packageId(cpu); });
    if (packages.empty()) return {};
    const std::vector<const SmbiosStructure*> sockets = occupiedSockets(smbios());

    Instances instances;
    for (std::size_t n = 0; n < packages.size(); ++n) {
      const CpuPackage& package = packages[n];
      const SmbiosStructure* socket = n < sockets.size() ? sockets[n] : nullptr;
      std::vector<int> numbers;
      for (const std::size_t i : package.cpus) numbers.push_back(info.cpus[i].number);
      const int first = numbers.front();
      const auto field = [&](std::string_view key) -> std::optional<std::string> {
        const std::optional<std::string_view> value = packageField(info, package, key);
        return value ? std::optional<std::string>(*value) : std::nullopt;
      };

      auto record = std::make_unique<RecordInstance>();
      setFrom(*record, "Manufacturer", field("vendor_id"), Source::Cpuinfo);
      // ARM kernels leave out "model name"; older ones name the core in "Processor", and
      // the SoC is in "Hardware".
      std::optional<std::string> name = field("model name");
      if (!name) name = field("Processor");
      if (!name) name = field("Hardware");
      setFrom(*record, "Name", name, Source::Cpuinfo);

      // What the processor runs at now: cpufreq, else cpuinfo, else the table.
      const std::optional<std::string> cpuinfoMhz = field("cpu MHz");
      if (const auto mhz = sysfs.cpufreqMhz(first, "scaling_cur_freq")) {
        record->set("CurrentClockSpeed", Property{*mhz, Source::Sysfs});
      } else if (const auto parsed = cpuinfoMhz ? parseMhz(*cpuinfoMhz) : std::nullopt) {
        record->set("CurrentClockSpeed", Property{*parsed, Source::Cpuinfo});
      } else {
        setFrom(*record, "CurrentClockSpeed", knownWord(socket, 0x16), Source::Smbios);
      }

      setFrom(*record, "L2CacheSize", sysfs.level2CacheKb(numbers), Source::Sysfs);
      setBusClock(*record, socket);
      const std::optional<std::string> designation =
          socket ? cleanString(smbiosStringAt(*socket, 0x04)) : std::nullopt;
      if (designation) {
        record->set("SocketDesignation", Property{*designation, Source::Smbios});
      } else {
        record->setGap("SocketDesignation", smbiosGap_);
      }
      instances.push_back(std::move(record));
    }
    return instances;
  }

  // The board and the BIOS version: the kernel's world-readable copies first, else the table.
  Instances fromDmi(std::uint8_t type,
                    std::initializer_list<std::pair<std::string_view, const char*>> files,
                    std::initializer_list<std::pair<std::string_view, std::size_t>> offsets) {
    auto record = std::make_unique<RecordInstance>();
    if (const auto dir = dmiIdDir()) {
      for (const auto& [name, file] : files) {
        setFrom(*record, name, readValueFile(*dir / file), Source::Sysfs);
      }
    } else if (const SmbiosStructure* structure = firstOfType(smbios(), type)) {
      for (const auto& [name, offset] : offsets) {
        setFrom(*record, name, cleanString(smbiosStringAt(*structure, offset)), Source::Smbios);
      }
    } else {
      return {};
    }
    Instances instances;
    instances.push_back(std::move(record));
    return instances;
  }

  Instances baseBoard() {
    return fromDmi(
        smbios_type::kBaseBoard,
        {{"Manufacturer", "board_vendor"}, {"Product", "board_name"}, {"Version", "board_version"}},
        {{"Manufacturer", 0x04}, {"Product", 0x05}, {"Version", 0x06}});
  }

  Instances bios() {
    return fromDmi(smbios_type::kBios, {{"Version", "bios_version"}}, {{"Version", 0x05}});
  }

  std::filesystem::path root_;
  std::shared_ptr<const CpuidReader> cpuid_;
  std::optional<Cpuinfo> cpuinfo_;
  std::optional<std::vector<SmbiosStructure>> smbios_;
  Gap smbiosGap_ = Gap::NotReported;  // why the table gave nothing, when it did not
  std::optional<std::optional<std::int64_t>> cpuidBus_;
};

}  // namespace

LinuxService::LinuxService(std::filesystem::path root, std::shared_ptr<const CpuidReader> cpuid)
    : root_(std::move(root)), cpuid_(std::move(cpuid)) {}

std::unique_ptr<ServiceConnection> LinuxService::connect() {
  try {
    return std::make_unique<LinuxConnection>(root_, cpuid_);
  } catch (...) {
    return nullptr;
  }
}

}  // namespace freqsmith::detect
