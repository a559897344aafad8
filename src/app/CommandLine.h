#pragma once

#include <ostream>

namespace quorvane {

// The program reads no command line of its own except two questions that
// are answered before any window exists, so they need no display:
// --help and --version. True when one was asked and answered on `out`;
// the program then ends with status 0. Every other argument is ignored.
bool AnswerCommandLine(int argc, const char* const* argv, std::ostream& out);

}  // namespace quorvane
