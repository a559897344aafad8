#include <iostream>

#include "brand/BrandTool.h"

using namespace quorvane;

int main(int argc, char** argv) {
  return RunBrandTool({argv + 1, argv + argc}, std::cout, std::cerr);
}
