// The field-access interface: everything a handler may do to a window. Handlers read and
// write field texts, read and set check boxes, set label captions and pictures, and put a
// sentence on the explanation line; they never see a widget.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "controls.h"

namespace freqsmith {

class Form {
 public:
  // `explanationLine` is the label that explain() writes. A window without one (a converter
  // dialog) has its handlers hand their faults back instead, and explain() writes nothing.
  explicit Form(std::span<const Control> controls,
                std::optional<LabelId> explanationLine = std::nullopt);
  virtual ~Form() = default;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  std::span<const Control> controls() const { return controls_; }
  const Control& control(ControlId id) const { return controls_[id.index]; }

  std::string text(FieldId field) const { return readText(field); }
  // Text typed, pasted or copied: cut to the field's maximum length.
  void setText(FieldId field, std::string_view text);
  // A computed number: formatted, then cut without losing a digit before the point.
  void setNumber(FieldId field, double value);

  bool checked(BoxId box) const { return readChecked(box); }
  // A change made by the program: no click handling runs.
  void setChecked(BoxId box, bool checked) { writeChecked(box, checked); }

  std::string caption(LabelId label) const { return readText(label); }
  void setCaption(LabelId label, std::string_view text) { writeText(label, std::string(text)); }

  // `target` takes the picture that `source` holds.
  void showPicture(PictureId target, PictureId source) { writePicture(target, source); }

  // Replaces the explanation line with one sentence.
  void explain(std::string_view sentence) {
    if (explanationLine_) writeText(*explanationLine_, std::string(sentence));
  }

 protected:
  virtual std::string readText(ControlId id) const = 0;
  virtual void writeText(ControlId id, std::string text) = 0;
  virtual bool readChecked(BoxId box) const = 0;
  virtual void writeChecked(BoxId box, bool checked) = 0;
  virtual void writePicture(PictureId target, PictureId source) = 0;

 private:
  std::span<const Control> controls_;
  std::optional<LabelId> explanationLine_;
};

// A window kept in memory: the design texts, unchecked boxes, no pictures. For unit tests
// and benchmarks, and wherever handlers run without widgets.
class MemoryForm final : public Form {
 public:
  explicit MemoryForm(std::span<const Control> controls,
                      std::optional<LabelId> explanationLine = std::nullopt);

  // The control whose picture `target` shows, or `target` itself when it shows none.
  ControlId pictureOf(PictureId target) const { return pictures_[target.index]; }

 protected:
  std::string readText(ControlId id) const override { return texts_[id.index]; }
  void writeText(ControlId id, std::string text) override { texts_[id.index] = std::move(text); }
  bool readChecked(BoxId box) const override { return checked_[box.index] != 0; }
  void writeChecked(BoxId box, bool checked) override { checked_[box.index] = checked ? 1 : 0; }
  void writePicture(PictureId target, PictureId source) override {
    pictures_[target.index] = source;
  }

 private:
  std::vector<std::string> texts_;
  std::vector<char> checked_;
  std::vector<ControlId> pictures_;
};

}  // namespace freqsmith
