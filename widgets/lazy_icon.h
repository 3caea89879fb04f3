// An icon made of picture files that are decoded only when a size of it is first drawn.
// QIcon::addFile decodes each file as it is added, which at start-up costs as much as
// building a tab; a window system that shows no icon (the offscreen platform) never pays.
#pragma once

#include <QIcon>
#include <QList>
#include <QSize>
#include <QString>
#include <utility>

namespace freqsmith {

// Pictures of one icon, each file with its size as the caller knows it (even reading a
// picture's header costs the first time); a file that does not decode draws nothing.
QIcon lazyIcon(const QList<std::pair<QString, QSize>>& pictures);

}  // namespace freqsmith
