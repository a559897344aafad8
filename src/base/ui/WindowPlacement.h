#pragma once

class QWidget;

namespace quorvane {

// Moves a top-level window so that it stands in the middle of the screen
// it is on (the primary screen before it is shown).
void CenterOnScreen(QWidget& window);

}  // namespace quorvane
