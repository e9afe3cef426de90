// Where the shell finds the pupil's current class: the value it shows on the class
// button for a platform mode, and the value its class timer polls for changes.
#pragma once

#include <optional>
#include <string>

namespace dh::shell {

// Modes 1 to 5 read the machine's class, modes 6, 7 and 99 the user's; other modes and
// failed reads give the empty text.
std::string ReadCurrentClassForButton(int platformMode);

// The class the class timer compares with the one on show: the value the set-up reads for
// the mode, so that a second class kept elsewhere is never taken for a change. Modes that
// keep no class take the machine's "Current Class", or the user's when the machine has
// none. Nothing when no value can be read; an existing empty value is the empty class.
std::optional<std::string> readPolledClass(int platformMode);

} // namespace dh::shell
