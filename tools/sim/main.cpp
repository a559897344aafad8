#include "sim/SimCli.h"

using namespace quorvane;
using namespace quorvane::sim;

int main(int argc, char** argv) {
  return SimCli::Main(argc, argv);
}
