// Turns a left-button click on a label, field or picture into the index of its control, so
// that one router handles every click by name instead of a slot per control.
#pragma once

#include <QObject>

class QWidget;

namespace freqsmith {

class ClickHook final : public QObject {
  Q_OBJECT
 public:
  explicit ClickHook(QObject* parent = nullptr) : QObject(parent) {}

  void install(QWidget* widget, int controlIndex);

 signals:
  void clicked(int controlIndex);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace freqsmith
