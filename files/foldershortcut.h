// Folder shortcuts: a symbolic link to a folder, or a folder whose only entries that are
// not folders are "Desktop.ini" and "Target.lnk" (any case), the link naming the folder
// it stands for. Paths are bytes as the file system spells them.
#pragma once

#include <optional>
#include <string>

namespace dh::files {

struct FolderShortcut {
  std::string target; // the folder it leads to, symbolic links resolved
  // Whether the user's own account made it (owns the link, the folder or its
  // Target.lnk). Any program the pupil runs could have made such a shortcut, so only
  // one an administrator made may lead out of a root.
  bool madeByUser = true;
};

// The shortcut that path is, or nothing when it is none or leads to no folder.
std::optional<FolderShortcut> ReadFolderShortcut(const std::string& path);

// The local path a shell link (.lnk) file points to, or empty on any failure.
std::string ReadLinkTarget(const std::string& lnkPath);

// The folder a path leads to with every symbolic link resolved, or empty.
std::string Canonical(const std::string& path);

// Whether path is base or lies below it (both canonical).
bool IsWithin(const std::string& path, const std::string& base);

} // namespace dh::files
