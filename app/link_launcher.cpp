// The desktop's URL handling starts the browser in a process of its own; whether the page
// then loads is not ours to know, only whether the address was taken.
#include "link_launcher.h"

#include <QDesktopServices>
#include <QUrl>

#include "qt_text.h"
namespace freqsmith {

std::string linkFailedSentence(std::string_view address) {
  return "Your web browser could not be asked to open " + std::string(address) + ".";
}

bool openLink(Form& form, std::string_view address) {
  const QUrl url(toQString(address), QUrl::StrictMode);
  // A relative address would be taken for a local file.
  if (url.isValid() && !url.isRelative() && QDesktopServices::openUrl(url)) return true;
  form.explain(linkFailedSentence(address));
  return false;
}

}  // namespace freqsmith
