// Runs the Windows detection against the machine's real management service (natively or
// under Wine), prints what the service reported and checks that the main window's fields
// hold exactly that. Exits non-zero when any check fails.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cpuid_reader.h"
#include "deadline_service.h"
#include "form.h"
#include "hardware_query.h"
#include "main_window_controls.h"
#include "windows_service.h"
#include "windows_variant.h"
#include "wql.h"

namespace {

using freqsmith::FieldId;
using freqsmith::MemoryForm;
using freqsmith::detect::ManagementService;
using freqsmith::detect::Property;
using freqsmith::detect::PropertyValue;
using freqsmith::detect::ServiceConnection;
using freqsmith::detect::ServiceInstance;
using freqsmith::detect::Source;
using freqsmith::detect::WindowsService;
using freqsmith::mainwin::field;

int passed = 0;
int failed = 0;

bool check(bool ok, const std::string& what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  ++(ok ? passed : failed);
  return ok;
}

std::string describe(const std::optional<PropertyValue>& value) {
  if (!value) return "absent";
  if (const auto* integer = std::get_if<std::int64_t>(&*value)) {
    return std::to_string(*integer) + " (integer)";
  }
  return "\"" + std::get<std::string>(*value) + "\" (string)";
}

// The value alone. Every property of this backend says it came from WMI, but for a bus clock
// that WMI did not know, which the processor itself gave.
std::optional<PropertyValue> valueOf(const std::optional<Property>& property,
                                     std::string_view name) {
  if (!property) return std::nullopt;
  const bool busClock = freqsmith::detect::sameName(name, freqsmith::detect::kBusClockProperty);
  check(property->source == Source::Wmi || (busClock && property->source == Source::Cpuid),
        "a property's source is WMI" + std::string(busClock ? " or CPUID" : ""));
  return property->value;
}

std::string quoted(const std::string& text) {
  return "\"" + text + "\"";
}

// What a field should show for a value: integers as their digits.
std::string shown(const PropertyValue& value) {
  if (const auto* integer = std::get_if<std::int64_t>(&value)) return std::to_string(*integer);
  return std::get<std::string>(value);
}

// Where the detection puts each property, written out here on its own so that a changed
// mapping in the detection shows up as a failure.
struct Mapping {
  std::string_view className;
  std::string_view property;
  std::string_view fieldName;
  FieldId field;
};

constexpr Mapping kMappings[] = {
    {"Win32_Processor", "Manufacturer", "Textmaker", field("Textmaker")},
    {"Win32_Processor", "ExtClock", "Textarch", field("Textarch")},
    {"Win32_Processor", "CurrentClockSpeed", "Textcpuspeed", field("Textcpuspeed")},
    {"Win32_Processor", "L2CacheSize", "Textl2size", field("Textl2size")},
    {"Win32_Processor", "Name", "Textcputype", field("Textcputype")},
    {"Win32_Processor", "SocketDesignation", "textsocket", field("textsocket")},
    {"Win32_BaseBoard", "Manufacturer", "Textweb", field("Textweb")},
    {"Win32_BaseBoard", "Product", "Textproduct", field("Textproduct")},
    {"Win32_BaseBoard", "Version", "Textversion", field("Textversion")},
    {"Win32_BIOS", "Version", "Textversion", field("Textversion")},
};
constexpr std::string_view kClasses[] = {"Win32_Processor", "Win32_BaseBoard", "Win32_BIOS"};

// Printed for the record next to the mapped ones.
constexpr std::string_view kExtraProperties[] = {"MaxClockSpeed", "NumberOfCores", "ProcessorId",
                                                 "SerialNumber", "ReleaseDate"};

// Each instance's mapped properties as the service reported them.
using Instances = std::vector<std::map<std::string_view, std::optional<PropertyValue>>>;

std::optional<PropertyValue> lastReported(const Instances& instances, std::string_view property) {
  std::optional<PropertyValue> last;
  for (const auto& instance : instances) {
    if (const auto& value = instance.at(property)) last = value;
  }
  return last;
}

class CountingService final : public ManagementService {
 public:
  explicit CountingService(ManagementService& inner) : inner_(inner) {}
  std::unique_ptr<ServiceConnection> connect() override {
    ++connections_;
    return inner_.connect();
  }
  int connections() const { return connections_; }

 private:
  ManagementService& inner_;
  int connections_ = 0;
};

// --- VARIANT conversion, on values made here ---------------------------------------------

std::optional<PropertyValue> convertInteger(VARTYPE type, LONGLONG value, CIMTYPE cimType) {
  VARIANT variant;
  VariantInit(&variant);
  V_VT(&variant) = type;
  switch (type) {
    case VT_I1:
      V_I1(&variant) = static_cast<CHAR>(value);
      break;
    case VT_I2:
      V_I2(&variant) = static_cast<SHORT>(value);
      break;
    case VT_I4:
      V_I4(&variant) = static_cast<LONG>(value);
      break;
    case VT_INT:
      V_INT(&variant) = static_cast<INT>(value);
      break;
    case VT_I8:
      V_I8(&variant) = value;
      break;
    case VT_UI1:
      V_UI1(&variant) = static_cast<BYTE>(value);
      break;
    case VT_UI2:
      V_UI2(&variant) = static_cast<USHORT>(value);
      break;
    case VT_UI4:
      V_UI4(&variant) = static_cast<ULONG>(value);
      break;
    case VT_UINT:
      V_UINT(&variant) = static_cast<UINT>(value);
      break;
    case VT_UI8:
      V_UI8(&variant) = static_cast<ULONGLONG>(value);
      break;
    case VT_BOOL:
      V_BOOL(&variant) = value ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case VT_R8:
      V_R8(&variant) = static_cast<double>(value);
      break;
    default:
      break;
  }
  auto result = freqsmith::detect::propertyFromVariant(variant, cimType);
  VariantClear(&variant);
  return result;
}

std::optional<PropertyValue> convertText(const wchar_t* text, CIMTYPE cimType) {
  VARIANT variant;
  VariantInit(&variant);
  V_VT(&variant) = VT_BSTR;
  V_BSTR(&variant) = text ? SysAllocString(text) : nullptr;
  auto result = freqsmith::detect::propertyFromVariant(variant, cimType);
  VariantClear(&variant);
  return result;
}

void expectValue(const std::string& what, const std::optional<PropertyValue>& got,
                 const std::optional<PropertyValue>& want) {
  check(got == want, "conversion: " + what + " gives " + describe(got) +
                         (got == want ? "" : ", expected " + describe(want)));
}

void checkConversions() {
  using I = std::int64_t;
  constexpr I kMin = std::numeric_limits<I>::min();
  expectValue("VT_I1 -1", convertInteger(VT_I1, -1, CIM_SINT8), I{-1});
  expectValue("VT_I1 -1 declared uint8", convertInteger(VT_I1, -1, CIM_UINT8), I{255});
  expectValue("VT_I2 -2", convertInteger(VT_I2, -2, CIM_SINT16), I{-2});
  expectValue("VT_I2 -1 declared uint16", convertInteger(VT_I2, -1, CIM_UINT16), I{65535});
  expectValue("VT_I4 -5", convertInteger(VT_I4, -5, CIM_SINT32), I{-5});
  expectValue("VT_I4 3000 declared uint32", convertInteger(VT_I4, 3000, CIM_UINT32), I{3000});
  expectValue("VT_I4 -1 declared uint32", convertInteger(VT_I4, -1, CIM_UINT32), I{4294967295LL});
  expectValue("VT_INT -9", convertInteger(VT_INT, -9, CIM_SINT32), I{-9});
  expectValue("VT_I8 minimum", convertInteger(VT_I8, kMin, CIM_SINT64), kMin);
  expectValue("VT_UI1 200", convertInteger(VT_UI1, 200, CIM_UINT8), I{200});
  expectValue("VT_UI2 65535", convertInteger(VT_UI2, 65535, CIM_UINT16), I{65535});
  expectValue("VT_UI4 4000000000", convertInteger(VT_UI4, 4000000000LL, CIM_UINT32),
              I{4000000000LL});
  expectValue("VT_UINT 7", convertInteger(VT_UINT, 7, CIM_UINT32), I{7});
  expectValue("VT_UI8 42", convertInteger(VT_UI8, 42, CIM_UINT64), I{42});
  expectValue("VT_UI8 above the signed range", convertInteger(VT_UI8, -1, CIM_UINT64),
              std::string("18446744073709551615"));
  expectValue("VT_BOOL true", convertInteger(VT_BOOL, 1, CIM_BOOLEAN), I{1});
  expectValue("VT_BOOL false", convertInteger(VT_BOOL, 0, CIM_BOOLEAN), I{0});
  expectValue("VT_R8", convertInteger(VT_R8, 3, CIM_REAL64), std::nullopt);
  expectValue("VT_NULL", convertInteger(VT_NULL, 0, CIM_STRING), std::nullopt);
  expectValue("VT_EMPTY", convertInteger(VT_EMPTY, 0, CIM_STRING), std::nullopt);
  expectValue("BSTR with non-ASCII text", convertText(L"Core\u00AE \u00B5P", CIM_STRING),
              std::string("Core\xC2\xAE \xC2\xB5P"));
  expectValue("null BSTR", convertText(nullptr, CIM_STRING), std::string());
  expectValue("BSTR digits declared string", convertText(L"123", CIM_STRING), std::string("123"));
  expectValue("BSTR declared uint64", convertText(L"123", CIM_UINT64), I{123});
  expectValue("BSTR declared sint64", convertText(L"-7", CIM_SINT64), I{-7});
  expectValue("BSTR declared uint64 above the signed range",
              convertText(L"18446744073709551615", CIM_UINT64),
              std::string("18446744073709551615"));
  expectValue("BSTR declared uint64, not a number", convertText(L"12ab", CIM_UINT64),
              std::string("12ab"));
}

// --- The connection's hold on COM --------------------------------------------------------

// What initialising this thread for the multi-threaded apartment says about its state:
// RPC_E_CHANGED_MODE while someone holds it in a single-threaded apartment, S_OK when COM
// is not initialised at all. Leaves the thread as it found it.
HRESULT probeApartment() {
  const HRESULT result = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  if (SUCCEEDED(result)) CoUninitialize();
  return result;
}

void checkComLifetime(WindowsService& service) {
  check(probeApartment() == S_OK, "COM is not initialised on this thread before connecting");
  {
    auto connection = service.connect();
    if (!check(connection != nullptr, "a connection opens")) return;
    check(probeApartment() == RPC_E_CHANGED_MODE,
          "the open connection holds the thread in a single-threaded apartment");
    auto instances = connection->instancesOf("Win32_Processor");
    if (!check(!instances.empty(), "Win32_Processor has instances")) return;
    const auto before = valueOf(instances.front()->property("Name"), "Name");
    connection.reset();
    check(probeApartment() == RPC_E_CHANGED_MODE,
          "instances that outlive their connection keep COM initialised");
    const auto after = valueOf(instances.front()->property("Name"), "Name");
    check(after.has_value() && after == before,
          "an instance reads its properties after its connection is gone: " + describe(after));
  }
  check(probeApartment() == S_OK, "COM is uninitialised once the connection and instances go");

  // A host thread already in the multi-threaded apartment: the connection works in it and
  // leaves that initialisation alone.
  if (!check(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)),
             "the thread joins the multi-threaded apartment")) {
    return;
  }
  {
    auto connection = service.connect();
    check(connection != nullptr, "a connection opens on a multi-threaded thread");
    if (connection) {
      check(!connection->instancesOf("Win32_Processor").empty(),
            "Win32_Processor has instances from a multi-threaded thread");
    }
  }
  const HRESULT still = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  check(still == S_FALSE, "the host's own COM initialisation survives the connection");
  if (SUCCEEDED(still)) CoUninitialize();
  CoUninitialize();
  check(probeApartment() == S_OK, "COM is back to uninitialised");
}

// --- Reading the service directly --------------------------------------------------------

std::map<std::string_view, Instances> readService(WindowsService& service) {
  std::map<std::string_view, Instances> reported;
  const auto connection = service.connect();
  if (!check(connection != nullptr, "WindowsService connects to ROOT\\CIMV2")) return reported;

  for (std::string_view className : kClasses) {
    const auto instances = connection->instancesOf(className);
    std::printf("\n%.*s: %zu instance(s)\n", static_cast<int>(className.size()), className.data(),
                instances.size());
    Instances& rows = reported[className];
    for (std::size_t i = 0; i < instances.size(); ++i) {
      auto& row = rows.emplace_back();
      for (const Mapping& mapping : kMappings) {
        if (mapping.className != className) continue;
        const auto value = valueOf(instances[i]->property(mapping.property), mapping.property);
        row[mapping.property] = value;
        std::printf("  [%zu] %-20.*s %s\n", i, static_cast<int>(mapping.property.size()),
                    mapping.property.data(), describe(value).c_str());
      }
      for (std::string_view extra : kExtraProperties) {
        const auto value = valueOf(instances[i]->property(extra), extra);
        if (value) {
          std::printf("  [%zu] %-20.*s %s\n", i, static_cast<int>(extra.size()), extra.data(),
                      describe(value).c_str());
        }
      }
    }
  }
  std::printf("\n");

  const auto processors = connection->instancesOf("Win32_Processor");
  if (check(!processors.empty(), "Win32_Processor has at least one instance")) {
    const auto& first = processors.front();
    check(first->property("MANUFACTURER") == first->property("manufacturer"),
          "property names ignore case");
    check(!first->property("NoSuchProperty").has_value(), "an unknown property is absent");
    check(!first->property("").has_value(), "an empty property name is absent");
  }
  check(connection->instancesOf("Win32_NoSuchClass").empty(), "an unknown class has no instances");
  return reported;
}

// --- The detection's queries -------------------------------------------------------------

void checkQueries(WindowsService& windows, const std::map<std::string_view, Instances>& reported) {
  const MemoryForm design(freqsmith::mainwin::kControls, freqsmith::mainwin::kExplanationLine);
  MemoryForm form(freqsmith::mainwin::kControls, freqsmith::mainwin::kExplanationLine);
  CountingService service(windows);
  freqsmith::detect::QueryProcessor(service, form);
  freqsmith::detect::QueryBaseBoard(service, form);
  freqsmith::detect::QueryBios(service, form);
  check(service.connections() == 3, "each query opened its own connection (" +
                                        std::to_string(service.connections()) + " in all)");

  // The field after all three queries: the last instance that reported the property wins,
  // and the later class wins over the earlier one.
  std::map<std::string_view, std::string> expected;
  std::map<std::string_view, FieldId> fields;
  for (const Mapping& mapping : kMappings) {
    fields.emplace(mapping.fieldName, mapping.field);
    if (!expected.count(mapping.fieldName))
      expected[mapping.fieldName] = design.text(mapping.field);
    const auto found = reported.find(mapping.className);
    if (found == reported.end()) continue;
    if (const auto value = lastReported(found->second, mapping.property)) {
      // Through a scratch form, so a field's length limit applies as it does on screen.
      MemoryForm scratch(freqsmith::mainwin::kControls, freqsmith::mainwin::kExplanationLine);
      scratch.setText(mapping.field, shown(*value));
      expected[mapping.fieldName] = scratch.text(mapping.field);
    }
  }
  for (const auto& [name, want] : expected) {
    const std::string got = form.text(fields.at(name));
    check(got == want, std::string(name) + " reads " + quoted(got) +
                           (got == want ? "" : ", expected " + quoted(want)));
  }

  const auto processors = reported.find("Win32_Processor");
  if (processors == reported.end() || processors->second.empty()) return;
  const Instances& cpus = processors->second;

  const auto maker = lastReported(cpus, "Manufacturer");
  if (check(maker && std::holds_alternative<std::string>(*maker),
            "the service reports Manufacturer as text")) {
    check(form.text(field("Textmaker")) != "maker", "Textmaker no longer reads \"maker\"");
    check(form.text(field("Textmaker")) == std::get<std::string>(*maker),
          "Textmaker equals the service's Manufacturer");
  }
  const auto name = lastReported(cpus, "Name");
  if (check(name && std::holds_alternative<std::string>(*name),
            "the service reports Name as text")) {
    check(form.text(field("Textcputype")) == std::get<std::string>(*name),
          "Textcputype equals the service's Name");
  }
  const auto speed = lastReported(cpus, "CurrentClockSpeed");
  if (check(speed && std::holds_alternative<std::int64_t>(*speed),
            "the service reports CurrentClockSpeed as an integer")) {
    const std::string text = form.text(field("Textcpuspeed"));
    check(!text.empty() && text.find_first_not_of("0123456789") == std::string::npos,
          "Textcpuspeed is whole MHz in decimal digits: " + quoted(text));
    check(text == std::to_string(std::get<std::int64_t>(*speed)),
          "Textcpuspeed equals CurrentClockSpeed");
  }

  const std::string version = form.text(field("Textversion"));
  const auto bios = reported.find("Win32_BIOS");
  const auto biosVersion =
      bios == reported.end() ? std::nullopt : lastReported(bios->second, "Version");
  if (biosVersion) {
    check(version == shown(*biosVersion), "Textversion equals the BIOS Version");
  } else {
    const auto boards = reported.find("Win32_BaseBoard");
    const auto boardVersion =
        boards == reported.end() ? std::nullopt : lastReported(boards->second, "Version");
    const std::string want = boardVersion ? shown(*boardVersion) : "Text1";
    check(version == want, "without a BIOS Version, Textversion keeps " + quoted(want));
  }

  for (const Mapping& mapping : kMappings) {
    const auto found = reported.find(mapping.className);
    if (found != reported.end() && lastReported(found->second, mapping.property)) continue;
    // Win32_BaseBoard.Version also feeds Textversion; the BIOS may still have written it.
    if (mapping.fieldName == "Textversion") continue;
    const std::string kept = design.text(mapping.field);
    check(form.text(mapping.field) == kept,
          std::string(mapping.className) + "." + std::string(mapping.property) + " is absent, so " +
              std::string(mapping.fieldName) + " keeps " + quoted(kept));
  }
}

// --- The start-up path: the same queries through the deadline service's worker -----------

// The program reads the service on a worker thread, which initialises COM for itself; the
// window must end up with what the queries read on this thread.
void checkThroughTheWorker(WindowsService& windows) {
  MemoryForm direct(freqsmith::mainwin::kControls, freqsmith::mainwin::kExplanationLine);
  freqsmith::detect::runDetection(windows, direct);

  MemoryForm bounded(freqsmith::mainwin::kControls, freqsmith::mainwin::kExplanationLine);
  const auto start = std::chrono::steady_clock::now();
  freqsmith::detect::DeadlineService service(std::make_shared<WindowsService>());
  freqsmith::detect::runDetection(service, bounded);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - start)
                      .count();
  check(service.gatheredInTime(),
        "the worker read every class within the deadline (" + std::to_string(ms) + " ms)");
  check(service.answeredInFull(), "every class was answered in full");
  for (const Mapping& mapping : kMappings) {
    const std::string got = bounded.text(mapping.field);
    check(got == direct.text(mapping.field),
          std::string(mapping.fieldName) + " reads the same through the worker: " + quoted(got));
  }
}

// --- What is asked of the service, and how its errors read -------------------------------

// Each class is asked for by a statement naming exactly the properties the queries read.
void checkStatements() {
  std::printf("\n");
  for (const auto& queried : freqsmith::detect::startupClasses()) {
    const auto statement =
        freqsmith::detect::selectStatement(queried.className, queried.properties);
    if (!check(statement.has_value(), "a statement for " + queried.className)) continue;
    std::printf("  %s\n", statement->c_str());
    for (const std::string& property : queried.properties) {
      check(statement->find(property) != std::string::npos, *statement + " names " + property);
    }
    check(statement->find('*') == std::string::npos, *statement + " names its properties");
  }
  std::printf("\n");
}

void checkErrorText() {
  for (const auto& [code, hex] :
       {std::pair{E_ACCESSDENIED, "0x80070005"},
        std::pair{static_cast<HRESULT>(WBEM_E_ACCESS_DENIED), "0x80041003"},
        std::pair{static_cast<HRESULT>(WBEM_E_INVALID_QUERY), "0x80041017"}}) {
    const std::string text = freqsmith::detect::hresultText(code);
    check(text.rfind(hex, 0) == 0 && text.find('\n') == std::string::npos,
          "the error " + std::string(hex) + " reads \"" + text + "\"");
  }
}

int run() {
  checkConversions();
  checkStatements();
  checkErrorText();
  WindowsService service;
  checkComLifetime(service);
  const auto reported = readService(service);
  if (!reported.empty()) checkQueries(service, reported);
  checkThroughTheWorker(service);
  std::printf("\n%d passed, %d failed\n", passed, failed);
  if (failed != 0) std::printf("wmi_probe: the Windows detection does not match the service\n");
  return failed == 0 ? 0 : 1;
}

}  // namespace

int main() {
  try {
    return run();
  } catch (const std::exception& error) {
    std::printf("wmi_probe: %s\n", error.what());
  } catch (...) {
    std::printf("wmi_probe: unknown exception\n");
  }
  return 2;
}
