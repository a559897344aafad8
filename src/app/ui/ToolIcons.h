#pragma once

#include <QIcon>

namespace quorvane {

// The pictures of the tool bar's picture buttons, drawn in code (so the
// program ships no artwork files) for whatever size and device pixel ratio
// a screen asks for.
QIcon NewsIcon();    // an envelope
QIcon UpdateIcon();  // a circular arrow
QIcon HelpIcon();    // a question mark in a disc

}  // namespace quorvane
