#include <iostream>

#include "newsd/NewsdCli.h"

int main(int argc, char** argv) {
  return quorvane::newsd::RunNewsd({argv + 1, argv + argc}, std::cout, std::cerr);
}
