#include "app/CommandLine.h"

#include <string_view>

#include "base/ProductIdentity.h"
#include "base/ProgramVersion.h"

namespace quorvane {

bool AnswerCommandLine(int argc, const char* const* argv, std::ostream& out) {
  bool help = false;
  bool version = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    help = help || arg == "--help";
    version = version || arg == "--version";
  }
  if (help) {
    out << "Usage: " << ProductCommand << " [--help | --version]\n\n"
        << "Starts the " << ProductName
        << " window: keyword research with related search\n"
           "phrases, their search counts and the result counts of three web search\n"
           "engines.\n\n"
           "The program reads no other options and no environment variables of its own;\n"
           "the brand files in its program folder are its only configuration (see the\n"
           "manual page "
        << ProductCommand
        << "(1)).\n\n"
           "  --help     show this text and exit\n"
           "  --version  show the version and exit\n";
  } else if (version) {
    out << ProductName << ' ' << ProgramVersion << '\n';
  }
  out.flush();
  return help || version;
}

}  // namespace quorvane
