// The field-access interface over real widgets: a handler's reads and writes land on the
// line edits, check boxes, labels and pictures that the window builder made.
#pragma once

#include <vector>

#include "form.h"

class QWidget;

namespace freqsmith {

class WidgetForm final : public Form {
 public:
  // `widgets` is indexed like `controls` (see buildControls).
  WidgetForm(std::span<const Control> controls, std::optional<LabelId> explanationLine,
             std::vector<QWidget*> widgets);

  QWidget* widget(ControlId id) const { return widgets_[id.index]; }
  const std::vector<QWidget*>& widgets() const { return widgets_; }
  // For a window built in parts: the builder fills in the rows it builds later.
  std::vector<QWidget*>& widgets() { return widgets_; }

 protected:
  std::string readText(ControlId id) const override;
  void writeText(ControlId id, std::string text) override;
  bool readChecked(BoxId box) const override;
  void writeChecked(BoxId box, bool checked) override;
  void writePicture(PictureId target, PictureId source) override;

 private:
  std::vector<QWidget*> widgets_;
};

}  // namespace freqsmith
