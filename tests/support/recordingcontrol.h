// The class of tst-recordingcontrol, the page control library of the tests that host
// controls: a page that lists the commands it received in the property
// "receivedCommands", counts Return key presses in "returnPresses", and appends "made" and
// "gone" to the application's property "controlLog" as instances come and go.
#pragma once

namespace recordingcontrol {

inline constexpr const char* kClassId = "{6B1E0D2A-4C3F-4E8B-9A51-2D7C0F93B6E1}";
inline constexpr const char* kProgId = "DHTEST.GoodCtrl.1";

} // namespace recordingcontrol
