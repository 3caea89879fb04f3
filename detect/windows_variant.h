// Conversions between the Windows management service's COM values and the program's own:
// VARIANTs to property values, UTF-16 to UTF-8 and back, error codes to text.
#pragma once

#include <wbemidl.h>

#include <optional>
#include <string>
#include <string_view>

#include "wmi_session.h"

namespace freqsmith::detect {

// `cimType` is the declared type the service reports next to the value. It matters because
// the service carries unsigned 32-bit properties in signed VARIANTs and 64-bit integers as
// strings. Null, empty and non-scalar values, and text the system cannot convert, give
// std::monostate.
[[nodiscard]] WmiValue propertyFromVariant(const VARIANT& value, CIMTYPE cimType);

// Hardware strings are shown rather than checked, so a stray surrogate becomes U+FFFD
// instead of losing the whole value; nullopt only when the system cannot convert at all.
[[nodiscard]] std::optional<std::string> utf8FromWide(std::wstring_view text);
// Names come from the program itself, and one that is not valid UTF-8 names nothing: nullopt.
[[nodiscard]] std::optional<std::wstring> wideFromUtf8(std::string_view text);

// An error as the user is told it: the HRESULT in hex and the system's message for it,
// "0x80041003 Access denied.", or the hex alone where the system has no message.
std::string hresultText(HRESULT result);

}  // namespace freqsmith::detect
