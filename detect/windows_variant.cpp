// VARIANT and string conversions for the Windows backend.
#include "windows_variant.h"

#include <windows.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

namespace freqsmith::detect {
namespace {

WmiValue fromUnsigned(std::uint64_t value) {
  // The interface's integers are signed; the few values beyond them still read correctly
  // as their digits.
  if (value > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
    return std::to_string(value);
  }
  return static_cast<std::int64_t>(value);
}

// The service passes sint64 and uint64 properties as decimal strings; they are integers
// like every other number, as long as the text really is one.
WmiValue fromIntegerText(std::string text, CIMTYPE cimType) {
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (cimType == CIM_SINT64) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error == std::errc() && end == last && first != last) return value;
  } else {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error == std::errc() && end == last && first != last) return fromUnsigned(value);
  }
  return text;
}

// The module that describes WMI's own codes (0x8004xxxx). Windows keeps it in the wbem folder
// under the system folder, not in the system folder itself, and its messages in a .mui file
// beside it in the user's language, which FormatMessage finds for a module loaded so.
HMODULE wmiMessages() {
  wchar_t system[MAX_PATH];
  const UINT length = GetSystemDirectoryW(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(system, length) + L"\\wbem\\wmiutils.dll";
  return LoadLibraryExW(path.c_str(), nullptr,
                        LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
}

// The system's message for `result`, or for the management service's own codes the message
// its module carries; empty when neither has one. Wine's wmiutils.dll carries no messages,
// so there WMI's codes read as hex alone.
std::wstring systemMessage(HRESULT result) {
  constexpr DWORD kFlags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS;
  wchar_t* buffer = nullptr;
  DWORD length =
      FormatMessageW(kFlags | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, static_cast<DWORD>(result), 0,
                     reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  if (length == 0) {
    if (const HMODULE module = wmiMessages()) {
      length =
          FormatMessageW(kFlags | FORMAT_MESSAGE_FROM_HMODULE, module, static_cast<DWORD>(result),
                         0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
      FreeLibrary(module);
    }
  }
  std::wstring message = length != 0 && buffer ? std::wstring(buffer, length) : std::wstring();
  if (buffer) LocalFree(buffer);
  // Messages end in a line break, and some in blanks before it.
  while (!message.empty() &&
         (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' ')) {
    message.pop_back();
  }
  return message;
}

}  // namespace

std::string hresultText(HRESULT result) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08lX", static_cast<unsigned long>(result));
  std::string text = hex;
  const std::optional<std::string> message = utf8FromWide(systemMessage(result));
  if (message && !message->empty()) text += " " + *message;
  return text;
}

WmiValue propertyFromVariant(const VARIANT& value, CIMTYPE cimType) {
  switch (V_VT(&value)) {
    case VT_BSTR: {
      const BSTR text = V_BSTR(&value);
      auto utf8 = utf8FromWide(std::wstring_view(text, text ? SysStringLen(text) : 0));
      if (!utf8) return {};
      if (cimType == CIM_SINT64 || cimType == CIM_UINT64) {
        return fromIntegerText(std::move(*utf8), cimType);
      }
      return std::move(*utf8);
    }
    // Unsigned CIM types travel in the signed VARIANT of the same width; read them back
    // unsigned so a large value does not turn negative.
    case VT_I1:
      if (cimType == CIM_UINT8) return static_cast<std::int64_t>(static_cast<BYTE>(V_I1(&value)));
      return static_cast<std::int64_t>(V_I1(&value));
    case VT_I2:
      if (cimType == CIM_UINT16)
        return static_cast<std::int64_t>(static_cast<USHORT>(V_I2(&value)));
      return static_cast<std::int64_t>(V_I2(&value));
    case VT_I4:
      if (cimType == CIM_UINT32) return static_cast<std::int64_t>(static_cast<ULONG>(V_I4(&value)));
      return static_cast<std::int64_t>(V_I4(&value));
    case VT_INT:
      if (cimType == CIM_UINT32) return static_cast<std::int64_t>(static_cast<UINT>(V_INT(&value)));
      return static_cast<std::int64_t>(V_INT(&value));
    case VT_I8:
      if (cimType == CIM_UINT64) return fromUnsigned(static_cast<ULONGLONG>(V_I8(&value)));
      return static_cast<std::int64_t>(V_I8(&value));
    case VT_UI1:
      return static_cast<std::int64_t>(V_UI1(&value));
    case VT_UI2:
      return static_cast<std::int64_t>(V_UI2(&value));
    case VT_UI4:
      return static_cast<std::int64_t>(V_UI4(&value));
    case VT_UINT:
      return static_cast<std::int64_t>(V_UINT(&value));
    case VT_UI8:
      return fromUnsigned(V_UI8(&value));
    case VT_BOOL:
      // VARIANT_TRUE is -1 in the VARIANT; shown in a field, 1 reads as the yes it means.
      return static_cast<std::int64_t>(V_BOOL(&value) != VARIANT_FALSE ? 1 : 0);
    default:
      // VT_NULL, VT_EMPTY, and the types no field of this program could show as a
      // plain value: floating point, dates, arrays, objects.
      return {};
  }
}

std::optional<std::string> utf8FromWide(std::wstring_view text) {
  if (text.empty()) return std::string();
  if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return std::nullopt;
  const int wideLength = static_cast<int>(text.size());
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), wideLength, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::nullopt;
  std::string out(static_cast<std::size_t>(length), '\0');
  if (WideCharToMultiByte(CP_UTF8, 0, text.data(), wideLength, out.data(), length, nullptr,
                          nullptr) != length) {
    return std::nullopt;
  }
  return out;
}

std::optional<std::wstring> wideFromUtf8(std::string_view text) {
  if (text.empty()) return std::wstring();
  if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return std::nullopt;
  const int narrowLength = static_cast<int>(text.size());
  const int length =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), narrowLength, nullptr, 0);
  if (length <= 0) return std::nullopt;
  std::wstring out(static_cast<std::size_t>(length), L'\0');
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), narrowLength, out.data(),
                          length) != length) {
    return std::nullopt;
  }
  return out;
}

}  // namespace freqsmith::detect
