// Work that runs the event loop by hand between its steps, outside any nested loop (a
// long file operation before its progress window shows), is marked busy for its length:
// what must not happen under such work, such as a page rebuilt under the control running
// it, asks and waits until it is over.
#pragma once

namespace dh::ui {

// Marks the work busy while it lives; scopes nest.
class BusyScope {
public:
  BusyScope();
  ~BusyScope();
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;
};

// Whether any such work is running now.
bool busy();

} // namespace dh::ui
