#include "sim/SimCli.h"

int main(int argc, char** argv) {
  return SimCli::Main(argc, argv);
}
