// What screen readers learn about a top-level window built of plain widgets (the shell's
// window, the help window): that it is a window, which they follow as active or not.
// Qt presents such a widget as a bare pane, and a screen reader that finds no active
// window around the focus passes the focus over (the pages' sunken frames would be
// taken for the window instead).
#pragma once

namespace dh {

// Registers the presentation with Qt once per process.
void installWindowAccessible();

} // namespace dh
