// Logging off: the one question the pupil answers before the session ends, whether the
// shell's window is being closed or the log-off key was pressed.
#pragma once

namespace dh::shell {

// Asks whether to log off now, telling that every program started in the session will
// close. True when the pupil chose to. The question is a window of its own, so that it
// shows over the pupil's programs; a second call while it is open answers false at once.
bool confirmLogOff();

} // namespace dh::shell
