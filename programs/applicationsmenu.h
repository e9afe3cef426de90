// The applications menu as program sets: the desktop entries of the data folders, one
// set per main category, without the entries the menu would not show. The user's own
// data folder counts only when the machine's settings allow it (any program the user runs
// could write there); it then comes first, so an entry of theirs hides the system's.
#pragma once

#include "programs/programsetlist.h"

#include <QStringList>

#include <vector>

namespace dh::programs {

// Each of $XDG_DATA_DIRS (with their defaults), after $XDG_DATA_HOME when the machine's
// settings allow the user's own entries.
QStringList dataFolders();

// The sets named after the entries' first main category, sorted by name, each with its
// programs sorted by name; "Other" holds entries without a main category. Left out:
// entries that are hidden, not to be displayed, not for this desktop
// ($XDG_CURRENT_DESKTOP), malformed, run in a terminal (which the session has not), or
// whose program is not found.
std::vector<ProgramSet> readApplicationsMenu(const QStringList& dataFolders);

} // namespace dh::programs
