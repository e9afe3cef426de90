// A folder that nothing below it may lead out of. The folder is opened once; every path
// below it is resolved relative to that descriptor by the kernel (openat2 with
// RESOLVE_BENEATH), following no symbolic link and no "." or "..", so the path means
// the same folders however it is spelt and whatever was swapped in after it was shown.
// The work is then done on the descriptors so obtained, never on the path again.
#pragma once

#include "platform/confine/descriptor.h"

#include <memory>
#include <string>
#include <vector>

struct stat;

namespace dh::confine {

// Whether name is one entry of a folder: not empty, ".", ".." nor holding a "/".
bool isPlainName(const std::string& name);

// The names of a path relative to a folder; false (and nothing) when one of them is
// "." or "..". Empty names (doubled or trailing "/") are skipped.
bool splitRelative(const std::string& relative, std::vector<std::string>& names);

class ConfinedRoot {
public:
  // Opens folder, following its own links: whoever named it meant where it leads.
  // Invalid when it cannot be opened as a folder.
  static std::shared_ptr<const ConfinedRoot> open(const std::string& folder);
  // Takes an open folder (a shortcut's target) as a root; path is how it is named.
  static std::shared_ptr<const ConfinedRoot> adopt(Descriptor folder, std::string path);

  bool valid() const { return root_.valid(); }
  const std::string& path() const { return path_; }
  const Descriptor& descriptor() const { return root_; }

  // The folder at relative below the root ("" is the root), opened for reading, or an
  // invalid descriptor and error set to errno: ELOOP where a name is a symbolic link,
  // EXDEV where the way leads out, EINVAL for "." or "..", ENOENT, ENOTDIR, EACCES.
  Descriptor openFolder(const std::string& relative, int* error = nullptr) const;

private:
  ConfinedRoot(Descriptor root, std::string path)
      : root_(std::move(root)), path_(std::move(path)) {}

  Descriptor root_;
  std::string path_;
};

// Operations on one entry of a folder opened beneath a root. name must be a plain name;
// each returns 0 or an errno value.
//
// Makes a folder; never takes over an item that is there (EEXIST).
int makeFolder(const Descriptor& folder, const std::string& name);
// Renames within or between folders, never replacing an item that is there (EEXIST).
int renameEntry(const Descriptor& from, const std::string& fromName, const Descriptor& to,
                const std::string& toName);
// The entry's status, a symbolic link not followed.
int statEntry(const Descriptor& folder, const std::string& name, struct stat& info);
// Opens a regular file of the folder for reading; a link or anything else is refused.
Descriptor openFile(const Descriptor& folder, const std::string& name, int* error = nullptr);
// Opens a sub-folder that is not a link, for reading (ELOOP for a link).
Descriptor openSubfolder(const Descriptor& folder, const std::string& name, int* error = nullptr);
// The names in a folder, without "." and ".."; error, where given, is set to 0 or to the
// errno of a folder that could not be read through.
std::vector<std::string> listNames(const Descriptor& folder, int* error = nullptr);

// A symbolic link of a folder as it is at one moment: its status (whose owner says who
// made it) and the folder it leads to, opened through that same link. target is invalid
// when name is no link or leads to no folder.
struct FollowedLink {
  Descriptor target;
  std::string targetPath; // the target's path, every link resolved
  uid_t owner = 0;
};
FollowedLink followLink(const Descriptor& folder, const std::string& name);

// The path an open descriptor stands for now, every link resolved; empty when unknown.
std::string currentPath(const Descriptor& descriptor);

} // namespace dh::confine
