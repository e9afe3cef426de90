// Folder shortcuts: a symbolic link to a folder, or a folder whose only entries that are
// not folders are "Desktop.ini" and "Target.lnk" (any case), the link naming the folder
// it stands for. Paths are bytes as the file system spells them.
#pragma once

#include "platform/confine/descriptor.h"

#include <optional>
#include <string>

namespace dh::files {

struct FolderShortcut {
  std::string target;                   // the folder it leads to, symbolic links resolved
  dh::confine::Descriptor targetFolder; // that folder, opened through the shortcut itself
  // Whether the superuser or a member of the administrators' group that the machine's
  // settings name made it (owns the link; or the folder, its Desktop.ini and its
  // Target.lnk). Any program a pupil or a classmate runs could have made any other, so
  // only such a shortcut may lead out of a root.
  bool byAdministrator = false;
};

// The shortcut that the entry name of folder is, or nothing when it is none or leads to
// no folder. What is judged and what is followed are the same link at the same moment.
std::optional<FolderShortcut> readFolderShortcut(const dh::confine::Descriptor& folder,
                                                 const std::string& name);

// The folder a path leads to with every symbolic link resolved, or empty.
std::string canonical(const std::string& path);

// Whether path is base or lies below it (both canonical).
bool isWithin(const std::string& path, const std::string& base);

} // namespace dh::files
