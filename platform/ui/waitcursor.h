// Shows the wait cursor over the whole application for as long as it lives. Nested wait
// cursors are fine: each restores what it replaced.
#pragma once

namespace dh::ui {

class WaitCursor {
public:
  WaitCursor();
  ~WaitCursor();
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace dh::ui
