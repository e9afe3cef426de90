// Where the shell finds the pupil's current class: the value it shows on the class
// button for a platform mode, and the value its class timer polls for changes.
#pragma once

#include <optional>
#include <string>

namespace dh::shell {

// Modes 1 to 5 read the machine's class, modes 6, 7 and 99 the user's; other modes and
// failed reads give the empty text.
std::string ReadCurrentClassForButton(int platformMode);

// The machine's "Current Class", or the user's when the machine has none; nothing when
// neither can be read. An existing empty value is read as the empty class.
std::optional<std::string> ReadPolledClass();

} // namespace dh::shell
