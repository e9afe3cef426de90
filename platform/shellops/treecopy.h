// Copies, moves and removes trees of files and folders, with the kernel's fast paths
// (reflink clones, copy_file_range). Every step that fails half-way undoes what it wrote
// and leaves its source as it was. Paths are the file system's bytes.
//
// A path is followed as its caller spelt it only up to the item it names. Below that the
// work is done on descriptors: each folder is opened beneath the one that holds it, never
// through a symbolic link, and is checked to be the folder that was listed there. A link
// inside a tree is copied or moved as a link and never followed, so a folder swapped for a
// link out (or for another folder) while the work runs stops it with kChangedMeanwhile
// before anything beyond the swap is read, written or removed.
#pragma once

#include <string>
#include <sys/stat.h>

namespace dh::shellops {

class Progress;

// The outcome of a step: error is an errno value (0 for success; ECANCELED when the user
// stopped the work) and path the item it concerns.
struct Status {
  int error = 0;
  std::string path;
  bool ok() const { return error == 0; }
};

// Part of a tree is no longer what was listed (a folder became a link, or another folder,
// or an item changed while a move copied it); what was not yet done is left as it was.
inline constexpr int kChangedMeanwhile = ESTALE;

// Copies source to target, which must not exist, keeping modes and times; symbolic links
// are copied as links. On failure or Cancel nothing of target is left.
Status copyTree(const std::string& source, const std::string& target, Progress& progress);

// Moves source to target, which must not exist (EEXIST otherwise). Within one file system
// this is a rename. Across file systems the copy is completed and written to the disk
// before the source is removed, and only what was copied unchanged is removed.
Status moveTree(const std::string& source, const std::string& target, Progress& progress);

// Removes path and everything below it.
Status removeTree(const std::string& path);

// Renames without ever replacing an existing target (EEXIST). Returns 0 or an errno.
int renameNoReplace(const std::string& from, const std::string& to);

// Whether something is at path; a dangling symbolic link counts.
bool pathExists(const std::string& path);

// The parent folder and the last component of a path.
std::string parentOf(const std::string& path);
std::string nameOf(const std::string& path);

} // namespace dh::shellops
