#pragma once

#include <QSize>

class QWidget;

namespace quorvane {

// Fixes the size of a window that is not meant to be resized: its design
// size, or what its layout needs at the user's font when that is larger
// (wrapped labels get the height their width asks for). Call it once the
// window's layout and texts are in place.
void FixSizeToContents(QWidget& window, QSize designSize);

}  // namespace quorvane
