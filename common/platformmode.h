// The platform mode: asked once of the platform mode component by each deliverable at
// its start-up, and the rules that say what each mode means. Every deliverable asks
// these rules; none compares mode numbers of its own.
#pragma once

namespace dh {

// The mode the platform mode component reports, or defaultMode when the component is
// not registered, cannot be made, is not ready or fails. Never throws.
int queryPlatformMode(int defaultMode);

// Without an answer the shell (and the class selector that works for it) assumes that
// no platform product is installed and that the pupil picks a class in Deskhaven itself
// (99: class and scheme choice kept in the user's own hive). The page controls assume
// mode 0, which selects only by user and default scheme: a control that could not ask
// must not pick a class scheme the shell did not pick.
inline constexpr int kShellDefaultMode = 99;
inline constexpr int kControlDefaultMode = 0;

// Where a mode keeps the pupil's account type and current class.
enum class ClassStore {
  None,
  Machine, // the machine's Plotbench key (one class for every user of the machine)
  User,    // the user's Fieldbench key; account type from the machine's Accounts map
};

// Where the scheme selection reads the account type and the current class: modes 1 to 5
// the machine, 6 and 7 the user; other modes select without a class.
ClassStore selectionClassStore(int mode);

// Where the shell reads the class it shows and polls, and where the class selector
// records a new one: the selection's store, and in mode 99 the user's own key.
ClassStore shellClassStore(int mode);

// Modes 8, 9 and 99 let the user's own "ConfigToUse" name the scheme.
bool modeOwnsConfigToUse(int mode);

// Whether the shell reads the class at set-up (not in modes 0, 8 and 99: there a class
// shows only once the class timer sees one recorded).
bool modeReadsClassAtSetUp(int mode);
// Whether the shell shows the class button at all (never in mode 8).
bool modeShowsClass(int mode);
// Whether the pupil may change the class (modes above 5, where the class is not the
// machine's).
bool modeOffersClassChange(int mode);
// Whether a class change reads the class afresh for the class button (modes below 8).
bool modeRereadsClassOnChange(int mode);

} // namespace dh
