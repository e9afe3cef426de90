// The classes of tst-failingcontrols, shared by the library and the tests; the control
// that works is tests/support/recordingcontrol.h's.
#pragma once

namespace testcontrols {

// Factories that throw a std::runtime_error, or an int.
inline constexpr const char* kThrowsError = "{0D0F3B6C-1E2A-4F5B-8C7D-9E0A1B2C3D4E}";
inline constexpr const char* kThrowsInt = "{0D0F3B6C-1E2A-4F5B-8C7D-9E0A1B2C3D4F}";
inline constexpr const char* kThrowMessage = "no window today";

// Classes that make nothing usable.
inline constexpr const char* kReturnsNull = "{A1B2C3D4-0000-4000-8000-000000000001}";
inline constexpr const char* kFailsWithWidget = "{A1B2C3D4-0000-4000-8000-000000000002}";
inline constexpr const char* kNoFactory = "{A1B2C3D4-0000-4000-8000-000000000003}";
inline constexpr const char* kOtherAbi = "{A1B2C3D4-0000-4000-8000-000000000004}";

} // namespace testcontrols
