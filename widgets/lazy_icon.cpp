// A QIconEngine over files: pixels on demand, each file decoded once.
#include "lazy_icon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <vector>

namespace freqsmith {
namespace {

class LazyIconEngine final : public QIconEngine {
 public:
  explicit LazyIconEngine(const QList<std::pair<QString, QSize>>& pictures) {
    for (const auto& [file, size] : pictures) entries_.push_back({file, size, {}});
  }

  QIconEngine* clone() const override { return new LazyIconEngine(*this); }
  QString key() const override { return QStringLiteral("freqsmith-lazy"); }

  QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
    QList<QSize> sizes;
    for (const Entry& entry : entries_) sizes.append(entry.size);
    return sizes;
  }

  QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
    const Entry* entry = bestFor(size);
    return entry ? entry->size.scaled(size, Qt::KeepAspectRatio).boundedTo(entry->size) : QSize();
  }

  // A window's icon is drawn in one mode only; every mode gets the same pixels.
  QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
    Entry* entry = bestFor(size);
    if (!entry) return {};
    if (entry->pixmap.isNull()) entry->pixmap = QPixmap(entry->file);
    // Never larger than asked, nor than the picture itself.
    const QSize fitted = entry->size.scaled(size, Qt::KeepAspectRatio).boundedTo(entry->size);
    if (entry->pixmap.isNull() || entry->pixmap.size() == fitted) return entry->pixmap;
    return entry->pixmap.scaled(fitted, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  }

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
  }

 private:
  struct Entry {
    QString file;
    QSize size;
    QPixmap pixmap;  // decoded when first asked for
  };

  // The smallest picture at least as large as `size`, else the largest.
  Entry* bestFor(const QSize& size) {
    Entry* best = nullptr;
    for (Entry& entry : entries_) {
      const bool fits = entry.size.width() >= size.width() && entry.size.height() >= size.height();
      const bool bestFits =
          best && best->size.width() >= size.width() && best->size.height() >= size.height();
      if (!best || (fits && (!bestFits || entry.size.width() < best->size.width())) ||
          (!fits && !bestFits && entry.size.width() > best->size.width())) {
        best = &entry;
      }
    }
    return best;
  }

  std::vector<Entry> entries_;
};

}  // namespace

QIcon lazyIcon(const QList<std::pair<QString, QSize>>& pictures) {
  return QIcon(new LazyIconEngine(pictures));
}

}  // namespace freqsmith
