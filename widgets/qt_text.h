// The tables hold their texts as UTF-8 string views; the toolkit takes QString.
#pragma once

#include <QString>
#include <string_view>

namespace freqsmith {

inline QString toQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace freqsmith
