#include <iostream>

#include "brand/BrandTool.h"
#include "brand/NewsProbe.h"
#include "brand/ui/QtPictureReader.h"

using namespace quorvane;

int main(int argc, char** argv) {
  const QtPictureReader pictures;
  BrandToolParts parts;
  parts.pictures = &pictures;
  parts.askNews = [](const NewsIdentity& identity) { return AskNewsService(identity); };
  return RunBrandTool({argv + 1, argv + argc}, std::cout, std::cerr, parts);
}
