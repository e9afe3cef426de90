// The trash of the freedesktop.org Trash specification, shared with the desktop's own
// file manager: the home trash ($XDG_DATA_HOME/Trash) for items on its file system, and
// for items on another file system that volume's $topdir/.Trash/$uid (when the
// administrator made $topdir/.Trash a sticky folder) or $topdir/.Trash-$uid. An item whose
// volume offers no usable trash goes to the home trash.
#pragma once

#include "platform/shellops/treecopy.h"

#include <optional>
#include <string>

namespace dh::shellops {

struct TrashEntry {
  std::string originalPath; // absolute, symbolic links of its folders resolved
  std::string infoPath;     // the .trashinfo file
  std::string filesPath;    // where the item itself is
};

// Moves path into its trash. The .trashinfo is made first, so that no item is ever in a
// trash without the record of where it came from.
Status putInTrash(const std::string& path, Progress& progress, TrashEntry& entry);

// Moves an entry back to its original path (its folder is made again if it has gone) and
// drops its record. An item now at that path is never replaced: EEXIST.
Status takeBackFromTrash(const TrashEntry& entry, Progress& progress);

// The entry of the item that waits in its trash at filesPath, to be put back at
// originalPath; nothing when it is no longer there.
std::optional<TrashEntry> trashedAt(const std::string& filesPath, const std::string& originalPath);

// The most recently deleted item that the trash records as coming from path.
std::optional<TrashEntry> findInTrash(const std::string& path);

// The home trash folder.
std::string homeTrashPath();

// An absolute path with the symbolic links of its existing folders resolved, so that an
// item is found in the trash under any path that leads to it.
std::string resolvedPath(const std::string& path);

} // namespace dh::shellops
