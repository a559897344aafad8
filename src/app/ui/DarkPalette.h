#pragma once

class QPalette;

namespace quorvane {

// True for a dark desktop: the palette's text is lighter than its window.
// The few colours the windows set themselves follow the palette there.
bool IsDarkPalette(const QPalette& palette);

}  // namespace quorvane
