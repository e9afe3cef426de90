#include "platform/ui/busywork.h"

namespace dh::ui {

namespace {
// One count for the program: this library is shared by the shell and its page controls.
int running = 0;
} // namespace

BusyScope::BusyScope() {
  ++running;
}

BusyScope::~BusyScope() {
  --running;
}

bool busy() {
  return running > 0;
}

} // namespace dh::ui
