// The classes of the test component libraries, shared by the libraries and the tests.
#pragma once

namespace testcontrols {

// tst-goodcontrol: a widget that lists the page commands it received in the property
// "receivedCommands".
inline constexpr const char* kGood = "{6B1E0D2A-4C3F-4E8B-9A51-2D7C0F93B6E1}";
inline constexpr const char* kGoodProgId = "DHTEST.GoodCtrl.1";

// tst-throwingcontrol: its factory throws a std::runtime_error, or an int.
inline constexpr const char* kThrowsError = "{0D0F3B6C-1E2A-4F5B-8C7D-9E0A1B2C3D4E}";
inline constexpr const char* kThrowsInt = "{0D0F3B6C-1E2A-4F5B-8C7D-9E0A1B2C3D4F}";
inline constexpr const char* kThrowMessage = "no window today";

// tst-nullcontrol: classes that make nothing usable.
inline constexpr const char* kReturnsNull = "{A1B2C3D4-0000-4000-8000-000000000001}";
inline constexpr const char* kFailsWithWidget = "{A1B2C3D4-0000-4000-8000-000000000002}";
inline constexpr const char* kNoFactory = "{A1B2C3D4-0000-4000-8000-000000000003}";
inline constexpr const char* kOtherAbi = "{A1B2C3D4-0000-4000-8000-000000000004}";

} // namespace testcontrols
