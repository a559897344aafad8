#include <iostream>
#include <string_view>

#include "brand/BrandTool.h"
#include "brand/NewsProbe.h"
#include "brand/ui/QtPictureReader.h"

using namespace quorvane;

int main(int argc, char** argv) {
  // Answered here, before any other argument is looked at.
  if (argc == 2 && std::string_view(argv[1]) == "--version") {
    std::cout << "quorvane-brand " << QUORVANE_TOOL_VERSION << '\n';
    return 0;
  }
  const QtPictureReader pictures;
  BrandToolParts parts;
  parts.pictures = &pictures;
  parts.askNews = [](const NewsIdentity& identity) { return AskNewsService(identity); };
  return RunBrandTool({argv + 1, argv + argc}, std::cout, std::cerr, parts);
}
