// Applies key verdicts to line edits.
#include "key_filter_hook.h"

#include <QKeyEvent>
#include <QLineEdit>

#include "key_filter.h"

namespace freqsmith {
namespace {

constexpr char kFilterProperty[] = "freqsmithKeyFilter";
constexpr char kLengthProperty[] = "freqsmithMaxLength";

}  // namespace

std::optional<char16_t> typedCharacter(const QKeyEvent& event) {
  switch (event.key()) {
    case Qt::Key_Backspace:
      return kBackspace;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return kTab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return u'\r';
    case Qt::Key_Escape:
    case Qt::Key_Delete:
      return std::nullopt;
    default:
      break;
  }
  const bool control = event.modifiers() & Qt::ControlModifier;
  if (control && event.key() >= Qt::Key_A && event.key() <= Qt::Key_Z) {
    return static_cast<char16_t>(event.key() - Qt::Key_A + 1);
  }
  const QString text = event.text();
  if (text.isEmpty()) return std::nullopt;
  return static_cast<char16_t>(text.front().unicode());
}

void KeyFilterHook::install(QLineEdit* edit, const Control& row) {
  edit->setProperty(kFilterProperty, static_cast<int>(row.filter));
  edit->setProperty(kLengthProperty, static_cast<int>(row.maxLength));
  edit->installEventFilter(this);
}

bool KeyFilterHook::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  auto* edit = qobject_cast<QLineEdit*>(watched);
  if (!edit || edit->isReadOnly()) return false;
  // Qt makes every event of this type a QKeyEvent; events have no checked cast of Qt's.
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-static-cast-downcast)
  const std::optional<char16_t> code = typedCharacter(*static_cast<QKeyEvent*>(event));
  if (!code) return false;

  const auto filter = static_cast<KeyFilter>(edit->property(kFilterProperty).toInt());
  const auto maxLength = static_cast<std::size_t>(edit->property(kLengthProperty).toInt());
  const KeyVerdict verdict =
      judgeKey(filter, *code, static_cast<std::size_t>(edit->text().size()),
               static_cast<std::size_t>(edit->selectedText().size()), maxLength);
  if (verdict.writeGuard) {
    edit->setText(QString::fromLatin1(kKeyGuardText.data(), kKeyGuardText.size()));
    edit->setCursorPosition(static_cast<int>(kKeyGuardText.size()));
  }
  return !verdict.accept;
}

}  // namespace freqsmith
