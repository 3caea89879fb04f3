// A picture control whose artwork is made only when it is first shown: decoded from the
// resources or drawn. Pictures on hidden tabs and the never-seen logo holders cost nothing
// at start-up; a picture that takes another's artwork takes it the same lazy way.
#pragma once

#include <QLabel>

class QPainter;

namespace freqsmith {

struct Artwork {
  const char* resource = nullptr;                   // a picture in the resources
  void (*draw)(QPainter&, const QRect&) = nullptr;  // or a drawing
  QSize size;  // the picture's own size, where a button must know it before decoding
  bool empty() const { return !resource && !draw; }
};

class PictureLabel final : public QLabel {
  Q_OBJECT
 public:
  PictureLabel(Artwork artwork, QWidget* parent);

  // Shows `source`'s artwork from now on.
  void takeArtworkOf(const PictureLabel& source);
  // Makes the picture now if it has not been made yet.
  void ensureLoaded();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  Artwork artwork_;
  bool made_ = false;
};

}  // namespace freqsmith
