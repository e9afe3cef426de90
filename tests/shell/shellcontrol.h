// The class of the shell tests' page control library, shared by the library and tests.
#pragma once

namespace shellcontrol {

// tst-shellcontrol: a page that lists the page commands it received in the property
// "receivedCommands", counts Return key presses in "returnPresses", and appends "made"
// and "gone" to the application's property "controlLog" as instances come and go.
inline constexpr const char* kRecording = "{3C9A7E51-2B4D-4F60-8E1A-5D6C7B8A9F01}";

} // namespace shellcontrol
