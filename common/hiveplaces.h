// Where Deskhaven's hives live on a machine, and the call every program makes before it
// touches the registry.
//
// $DESKHAVEN_MACHINE_HIVE (default /var/lib/deskhaven/machine.hive), $DESKHAVEN_USER_HIVE
// (default $XDG_CONFIG_HOME/deskhaven/user.hive) and $DESKHAVEN_DEFAULT_USER_HIVE (default
// /var/lib/deskhaven/default-user.hive). A variable missing from the environment is taken
// from /etc/deskhaven/session.env ($DESKHAVEN_SESSION_ENV names another file), lines
// NAME=VALUE where a user hive may use $HOME and $USER. A writer waits for another's lock
// $DESKHAVEN_LOCK_WAIT seconds (default 30).
#pragma once

#include <string>

namespace dh {

// Points the registry at these places; they are read again after each reg::resetHives(),
// so a program that changes the variables resets the registry to follow them.
void useHivePlaces();

std::string machineHivePath();
std::string userHivePath();
std::string defaultUserHivePath();
// The user hive of the account user: userHivePath() for the caller, otherwise the one
// session.env names for that user or the one below the user's home ("" when unknown).
std::string userHivePathOf(const std::string& user);

} // namespace dh
