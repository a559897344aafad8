#pragma once

#include <QIcon>

namespace quorvane {

// The pictures of the tool bar's picture buttons, painted at start-up so
// the program ships no artwork files.
QIcon NewsIcon();    // an envelope
QIcon UpdateIcon();  // a circular arrow
QIcon HelpIcon();    // a question mark in a disc

}  // namespace quorvane
