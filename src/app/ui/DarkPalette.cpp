#include "app/ui/DarkPalette.h"

#include <QPalette>

namespace quorvane {

bool IsDarkPalette(const QPalette& palette) {
  return palette.color(QPalette::WindowText).lightness() >
         palette.color(QPalette::Window).lightness();
}

}  // namespace quorvane
