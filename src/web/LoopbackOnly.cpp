#include "web/LoopbackOnly.h"

namespace quorvane {

// Nothing else may live in this file: a test program that pulled it in for
// another symbol would have two definitions of this one.
bool LoopbackOnly() {
  return false;
}

}  // namespace quorvane
