// Runs the Windows detection against the machine's real management service (natively or
// under Wine), prints what the service reported and checks that the main window's fields
// hold exactly what that means. Exits non-zero when any check fails.
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
#include "detection.h"
#include "form.h"
#include "hardware_query.h"
#include "main_window_controls.h"
#include "value_text.h"
#include "windows_variant.h"
#include "wmi_reader.h"
#include "wmi_session.h"

namespace {

using freqsmith::FieldId;
using freqsmith::MemoryForm;
using freqsmith::detect::WmiSession;
using freqsmith::detect::WmiValue;
using freqsmith::mainwin::field;

int passed = 0;
int failed = 0;

// Wine's management service differs from Windows' in what this probe checks at two places,
// each said where it is checked.
bool runsUnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

bool check(bool ok, const std::string& what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  ++(ok ? passed : failed);
  return ok;
}

std::string describe(const WmiValue& value) {
  if (const auto* integer = std::get_if<std::int64_t>(&value)) {
    return std::to_string(*integer) + " (integer)";
  }
  if (const auto* text = std::get_if<std::string>(&value)) return "\"" + *text + "\" (string)";
  return "absent";
}

std::string quoted(const std::string& text) {
  return "\"" + text + "\"";
}

// --- VARIANT conversion, on values made here ---------------------------------------------

WmiValue convertInteger(VARTYPE type, LONGLONG value, CIMTYPE cimType) {
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
  WmiValue result = freqsmith::detect::propertyFromVariant(variant, cimType);
  VariantClear(&variant);
  return result;
}

WmiValue convertText(const wchar_t* text, CIMTYPE cimType) {
  VARIANT variant;
  VariantInit(&variant);
  V_VT(&variant) = VT_BSTR;
  V_BSTR(&variant) = text ? SysAllocString(text) : nullptr;
  WmiValue result = freqsmith::detect::propertyFromVariant(variant, cimType);
  VariantClear(&variant);
  return result;
}

void expectValue(const std::string& what, const WmiValue& got, const WmiValue& want) {
  check(got == want, "conversion: " + what + " gives " + describe(got) +
                         (got == want ? "" : ", expected " + describe(want)));
}

void checkConversions() {
  using I = std::int64_t;
  constexpr I kMin = std::numeric_limits<I>::min();
  const WmiValue absent;
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
  expectValue("VT_R8", convertInteger(VT_R8, 3, CIM_REAL64), absent);
  expectValue("VT_NULL", convertInteger(VT_NULL, 0, CIM_STRING), absent);
  expectValue("VT_EMPTY", convertInteger(VT_EMPTY, 0, CIM_STRING), absent);
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

// --- The session's hold on COM -----------------------------------------------------------

// What initialising this thread for the multi-threaded apartment says about its state:
// RPC_E_CHANGED_MODE while someone holds it in a single-threaded apartment, S_OK when COM
// is not initialised at all. Leaves the thread as it found it.
HRESULT probeApartment() {
  const HRESULT result = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  if (SUCCEEDED(result)) CoUninitialize();
  return result;
}

constexpr std::string_view kName[] = {"Name"};

void checkComLifetime() {
  check(probeApartment() == S_OK, "COM is not initialised on this thread before a session");
  {
    const std::unique_ptr<WmiSession> session = freqsmith::detect::openWmiSession();
    check(probeApartment() == S_OK, "a session not yet asked leaves COM alone");
    const auto answer = session->select("Win32_Processor", kName);
    check(answer.error.empty() && !answer.instances.empty(),
          "the session answers Win32_Processor " + answer.error);
    check(probeApartment() == RPC_E_CHANGED_MODE,
          "the asked session holds the thread in a single-threaded apartment");
  }
  check(probeApartment() == S_OK, "COM is uninitialised once the session goes");

  // A host thread already in the multi-threaded apartment: the session works in it and
  // leaves that initialisation alone.
  if (!check(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)),
             "the thread joins the multi-threaded apartment")) {
    return;
  }
  {
    const std::unique_ptr<WmiSession> session = freqsmith::detect::openWmiSession();
    const auto answer = session->select("Win32_Processor", kName);
    check(answer.error.empty() && !answer.instances.empty(),
          "Win32_Processor has instances from a multi-threaded thread");
  }
  const HRESULT still = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  check(still == S_FALSE, "the host's own COM initialisation survives the session");
  if (SUCCEEDED(still)) CoUninitialize();
  CoUninitialize();
  check(probeApartment() == S_OK, "COM is back to uninitialised");
}

// --- Reading the service directly --------------------------------------------------------

// What the window makes of each property, written out here on its own so that a changed
// mapping in the detection shows up as a failure. Several properties can feed one field:
// the later one wins where it has a value.
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
    {"Win32_BIOS", "SMBIOSBIOSVersion", "Textversion", field("Textversion")},
};
constexpr std::string_view kClasses[] = {"Win32_Processor", "Win32_BaseBoard", "Win32_BIOS"};

// Printed for the record next to the mapped ones.
constexpr std::string_view kExtraProperties[] = {"MaxClockSpeed", "NumberOfCores", "ProcessorId",
                                                 "SerialNumber", "ReleaseDate"};

// Each class's instances, each instance's properties by name, as the service gave them.
using Reported = std::map<std::string_view, std::vector<std::map<std::string_view, WmiValue>>>;

Reported readService() {
  Reported reported;
  const std::unique_ptr<WmiSession> session = freqsmith::detect::openWmiSession();
  for (std::string_view className : kClasses) {
    std::vector<std::string_view> properties;
    for (const Mapping& mapping : kMappings) {
      if (mapping.className == className) properties.push_back(mapping.property);
    }
    const std::size_t mapped = properties.size();
    properties.insert(properties.end(), std::begin(kExtraProperties), std::end(kExtraProperties));
    // The extra properties are not all in every class: asked one by one, so that one the
    // class lacks costs only itself.
    auto answer = session->select(className, std::span(properties).first(mapped));
    check(answer.error.empty(), std::string(className) + " answers in full " + answer.error);
    std::printf("\n%.*s: %zu instance(s)\n", static_cast<int>(className.size()), className.data(),
                answer.instances.size());
    auto& rows = reported[className];
    for (std::size_t i = 0; i < answer.instances.size(); ++i) {
      auto& row = rows.emplace_back();
      for (std::size_t p = 0; p < mapped; ++p) {
        row[properties[p]] = answer.instances[i][p];
        std::printf("  [%zu] %-20.*s %s\n", i, static_cast<int>(properties[p].size()),
                    properties[p].data(), describe(answer.instances[i][p]).c_str());
      }
    }
    for (std::size_t p = mapped; p < properties.size(); ++p) {
      const std::string_view extra[] = {properties[p]};
      const auto more = session->select(className, extra);
      for (std::size_t i = 0; more.error.empty() && i < more.instances.size(); ++i) {
        std::printf("  [%zu] %-20.*s %s\n", i, static_cast<int>(extra[0].size()), extra[0].data(),
                    describe(more.instances[i][0]).c_str());
      }
    }
  }
  std::printf("\n");

  // A name that is not a plain identifier would change what the statement asks: refused.
  for (const auto& [className, property] :
       {std::pair<std::string_view, std::string_view>{"Win32_BIOS", "*"},
        {"Win32_BIOS", "Version FROM Win32_Processor --"},
        {"Win32_BIOS WHERE 1=1", "Version"},
        {"Win32_BIOS", ""},
        {"", "Version"},
        {"2Class", "Version"},
        {"Win32_BIOS", "Ver\xC3\xA9sion"}}) {
    const std::string_view asked[] = {property};
    const auto answer = session->select(className, asked);
    check(!answer.error.empty() && answer.instances.empty(),
          "refused: " + quoted(std::string(className)) + " " + quoted(std::string(property)) +
              " (" + answer.error + ")");
  }
  // Where the repository has no such class, Windows says so: WBEM_E_INVALID_CLASS, an error,
  // not an empty class, which is how the reader takes it for a built-in one. Wine answers
  // with no instances and no error.
  const auto unknown = session->select("Win32_NoSuchClass", kName);
  if (runsUnderWine()) {
    check(unknown.instances.empty(), "an unknown class has no instances (Wine gives no error)");
  } else {
    check(!unknown.error.empty() && unknown.instances.empty(),
          "an unknown class is an error: " + unknown.error);
  }
  return reported;
}

// --- The window's fields -----------------------------------------------------------------

// What the field shows for the value: trimmed text, integers as their digits, and nothing
// for a blank string or a clock of 0 (which firmware writes for one it does not know).
std::optional<std::string> shown(const WmiValue& value, std::string_view fieldName) {
  if (const auto* integer = std::get_if<std::int64_t>(&value)) {
    const bool clock = fieldName == "Textarch" || fieldName == "Textcpuspeed";
    if (clock && *integer == 0) return std::nullopt;
    return std::to_string(*integer);
  }
  if (const auto* text = std::get_if<std::string>(&value)) {
    return freqsmith::detect::cleanText(*text);
  }
  return std::nullopt;
}

void checkFields(const Reported& reported) {
  const MemoryForm design(freqsmith::mainwin::kControls, freqsmith::mainwin::kExplanationLine);
  MemoryForm form(freqsmith::mainwin::kControls, freqsmith::mainwin::kExplanationLine);
  const auto start = std::chrono::steady_clock::now();
  // As the program reads it: the platform's reader on the detection's worker.
  freqsmith::detect::Detection detection(freqsmith::detect::platformReader());
  const bool inTime = detection.waitUntil(std::chrono::steady_clock::time_point::max());
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - start)
                      .count();
  check(inTime, "the worker read every class within the limit (" + std::to_string(ms) + " ms)");
  const freqsmith::detect::Hardware& hardware = detection.answers();
  check(freqsmith::detect::faults(hardware).empty(), "every class was answered in full");
  (void)freqsmith::runDetection(form, hardware);

  // Each field after the three queries: the last instance that gave the property wins, and
  // the later property over the earlier.
  std::map<std::string_view, std::string> expected;
  std::map<std::string_view, FieldId> fields;
  std::map<std::string_view, bool> given;
  for (const Mapping& mapping : kMappings) {
    fields.emplace(mapping.fieldName, mapping.field);
    if (!expected.count(mapping.fieldName))
      expected[mapping.fieldName] = design.text(mapping.field);
    const auto found = reported.find(mapping.className);
    if (found == reported.end()) continue;
    for (const auto& instance : found->second) {
      const auto value = instance.find(mapping.property);
      if (value == instance.end()) continue;
      const std::optional<std::string> text = shown(value->second, mapping.fieldName);
      if (!text) continue;
      // Through a scratch form, so a field's length limit applies as it does on screen.
      MemoryForm scratch(freqsmith::mainwin::kControls, freqsmith::mainwin::kExplanationLine);
      scratch.setText(mapping.field, *text);
      expected[mapping.fieldName] = scratch.text(mapping.field);
      given[mapping.fieldName] = true;
    }
  }
  // A bus clock WMI does not know may come from the processor itself.
  if (!given["Textarch"] && hardware.processor.busMhz.value) {
    expected["Textarch"] = std::to_string(*hardware.processor.busMhz.value);
    given["Textarch"] = true;
    check(hardware.processor.busMhz.source == freqsmith::detect::Source::Cpuid,
          "a bus clock WMI lacks comes from CPUID");
  }
  for (const auto& [name, want] : expected) {
    const std::string got = form.text(fields.at(name));
    check(got == want, std::string(name) + " reads " + quoted(got) +
                           (got == want ? "" : ", expected " + quoted(want)));
    if (!given[name]) {
      check(got == want, "nothing is given for " + std::string(name) + ", so " + std::string(name) +
                             " keeps " + quoted(want));
    }
  }
}

void checkErrorText() {
  for (const auto& [code, hex] :
       {std::pair{E_ACCESSDENIED, "0x80070005"},
        std::pair{static_cast<HRESULT>(WBEM_E_ACCESS_DENIED), "0x80041003"},
        std::pair{static_cast<HRESULT>(WBEM_E_INVALID_CLASS), "0x80041010"}}) {
    const std::string text = freqsmith::detect::hresultText(code);
    check(text.rfind(hex, 0) == 0 && text.find('\n') == std::string::npos,
          "the error " + std::string(hex) + " reads \"" + text + "\"");
    // Windows describes WMI's own codes in wbem\wmiutils.dll; Wine's carries no messages.
    if (!runsUnderWine()) {
      check(text.size() > std::string_view(hex).size() + 1,
            "the error " + std::string(hex) + " has the system's text beside the hex");
    }
  }
}

int run() {
  checkConversions();
  checkErrorText();
  checkComLifetime();
  const Reported reported = readService();
  if (!reported.empty()) checkFields(reported);
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
