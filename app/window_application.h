// The window's QApplication. Where the toolkit finds no display to open the window on (or no
// platform plugin to reach one with) it would abort with a page of messages; this one says
// why in one line on standard error and ends the program with status 1.
#pragma once

#include <QApplication>

namespace freqsmith {

namespace detail {
// Holds back the toolkit's messages while it starts; a start that succeeds passes them on.
class HeldStartMessages {
 protected:
  HeldStartMessages();
  void passOn();
};
}  // namespace detail

class WindowApplication : private detail::HeldStartMessages, public QApplication {
 public:
  WindowApplication(int& argc, char** argv);
};

}  // namespace freqsmith
