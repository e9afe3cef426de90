// The named objects of a user session that the Programs page shares with the sibling
// component that updates the users' profiles (and with deskhaven-signal).
#pragma once

namespace dh {

// Signalled after each update of the profiles, and so of the program set folders.
inline constexpr const char* kProfileUpdatedEvent = "Halvane.Deskwarden.ProfileUpdated";
// Held by whoever rewrites the profiles; readers wait for it a while, then read anyway.
inline constexpr const char* kProfilesLock = "Halvane.Deskwarden.ProfilesMutex";

} // namespace dh
