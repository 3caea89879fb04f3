// The widget side of the key filters: one event filter on every filtered line edit turns
// the key into its character code, asks judgeKey() and applies the verdict.
#pragma once

#include <QObject>
#include <optional>
#include <span>

#include "controls.h"

class QKeyEvent;
class QLineEdit;

namespace freqsmith {

// The character code a key press types, as a 16-bit code (Backspace 8, Tab 9, Enter 13,
// Ctrl+C 3, Ctrl+V 22, Ctrl+X 24); nullopt for keys that type no character (arrows, Home,
// Delete, function keys, Escape), which the filters leave alone. Escape cancels a dialog
// rather than typing into a field, so it goes on to the dialog from whichever field has
// the focus.
[[nodiscard]] std::optional<char16_t> typedCharacter(const QKeyEvent& event);

class KeyFilterHook final : public QObject {
  Q_OBJECT
 public:
  explicit KeyFilterHook(QObject* parent = nullptr) : QObject(parent) {}

  // Filters keys typed into `edit` with the row's filter and maximum length.
  void install(QLineEdit* edit, const Control& row);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace freqsmith
