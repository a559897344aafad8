#pragma once

#include <QAccessible>

class QWidget;

namespace quorvane {

// Gives `widget` a role for assistive technology where Qt knows none for
// our own kinds of controls (a label that acts as a link, a picture, a
// balloon). Its name is its accessible name, else its buddy label's text,
// else, for a label, its text. A widget with a clicked() signal also gets
// the press action, which emits it. The role may change later (a banner
// that starts leading somewhere).
void SetAccessibleRole(QWidget* widget, QAccessible::Role role);

}  // namespace quorvane
