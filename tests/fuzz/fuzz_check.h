// What the fuzz targets share: stopping the run on a broken rule, so that libFuzzer keeps
// the input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace freqsmith::fuzz {

// The text with every byte outside printable ASCII written as \xNN, so the report shows
// exactly what the code was given.
inline std::string escaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7f && c != '\\') {
      out += c;
    } else {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02x", byte);
      out += hex;
    }
  }
  return out;
}

// libFuzzer treats the abort like a crash: it writes the input to its artifact directory
// and the run fails.
inline void require(bool holds, const char* rule, std::string_view detail = {}) {
  if (holds) return;
  std::fprintf(stderr, "\nbroken rule: %s\n  on: \"%s\"\n", rule, escaped(detail).c_str());
  std::abort();
}

}  // namespace freqsmith::fuzz
