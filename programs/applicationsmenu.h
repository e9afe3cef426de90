// The applications menu as program sets: the desktop entries of the data folders
// (the user's first, so that an entry of theirs hides one of the system's with the same
// id), one set per main category, without the entries the menu would not show.
#pragma once

#include "programs/programsetlist.h"

#include <QStringList>

#include <vector>

namespace dh::programs {

// $XDG_DATA_HOME, then each of $XDG_DATA_DIRS (with their defaults).
QStringList dataFolders();

// The sets named after the entries' first main category, sorted by name, each with its
// programs sorted by name; "Other" holds entries without a main category. Left out:
// entries that are hidden, not to be displayed, not for this desktop
// ($XDG_CURRENT_DESKTOP), malformed, or whose program is not found.
std::vector<ProgramSet> readApplicationsMenu(const QStringList& dataFolders);

} // namespace dh::programs
