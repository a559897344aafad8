#pragma once

class QEvent;

namespace quorvane {

// True for a press of Enter or Return, whatever the modifier keys. The
// keyword dialogs treat it in their edits as a click on "Ok".
bool IsEnterKeyPress(const QEvent* event);

}  // namespace quorvane
