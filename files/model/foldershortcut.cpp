#include "files/model/foldershortcut.h"

#include "common/settings.h"
#include "platform/confine/administrators.h"
#include "platform/confine/confinedroot.h"
#include "platform/desktop/shelllink.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <vector>

namespace dh::files {

namespace {

bool byAdministrator(uid_t owner) {
  return dh::confine::isAdministrator(owner, dh::readSetting(dh::setting::kAdministratorsGroup));
}

// The name of the Target.lnk of a folder that is a shortcut by its entries (its
// Desktop.ini's name in ini), or empty.
std::string linkFileOf(const dh::confine::Descriptor& folder, std::string& ini) {
  std::string link;
  int files = 0;
  for (const std::string& name : dh::confine::listNames(folder)) {
    struct stat st {};
    if (fstatat(folder.get(), name.c_str(), &st, 0) == 0 && S_ISDIR(st.st_mode))
      continue;
    ++files;
    if (strcasecmp(name.c_str(), "desktop.ini") == 0)
      ini = name;
    else if (strcasecmp(name.c_str(), "target.lnk") == 0)
      link = name;
  }
  return files == 2 && !ini.empty() ? link : std::string();
}

bool ownedByAdministrator(const dh::confine::Descriptor& folder, const std::string& name) {
  struct stat st {};
  return dh::confine::statEntry(folder, name, st) == 0 && S_ISREG(st.st_mode) &&
         byAdministrator(st.st_uid);
}

} // namespace

std::string canonical(const std::string& path) {
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

bool isWithin(const std::string& path, const std::string& base) {
  if (path.empty() || base.empty() || path.compare(0, base.size(), base) != 0)
    return false;
  return path.size() == base.size() || base == "/" || path[base.size()] == '/';
}

std::optional<FolderShortcut> readFolderShortcut(const dh::confine::Descriptor& folder,
                                                 const std::string& name) {
  struct stat own {};
  if (dh::confine::statEntry(folder, name, own) != 0)
    return std::nullopt;
  FolderShortcut shortcut;
  if (S_ISLNK(own.st_mode)) {
    dh::confine::FollowedLink link = dh::confine::followLink(folder, name);
    shortcut.target = std::move(link.targetPath);
    shortcut.targetFolder = std::move(link.target);
    shortcut.byAdministrator = byAdministrator(link.owner);
  } else if (S_ISDIR(own.st_mode)) {
    const dh::confine::Descriptor inner = dh::confine::openSubfolder(folder, name);
    std::string ini;
    const std::string link = inner.valid() ? linkFileOf(inner, ini) : std::string();
    struct stat innerStat {};
    const dh::confine::Descriptor linkFile =
        link.empty() ? dh::confine::Descriptor() : dh::confine::openFile(inner, link);
    if (!linkFile.valid() || fstat(inner.get(), &innerStat) != 0)
      return std::nullopt;
    const std::string written = dh::desktop::readShellLink(linkFile.procPath());
    if (written.empty())
      return std::nullopt;
    shortcut.targetFolder =
        dh::confine::Descriptor(open(written.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    shortcut.target = dh::confine::currentPath(shortcut.targetFolder);
    shortcut.byAdministrator = byAdministrator(innerStat.st_uid) &&
                               ownedByAdministrator(inner, ini) &&
                               ownedByAdministrator(inner, link);
  }
  if (shortcut.target.empty())
    return std::nullopt;
  return shortcut;
}

} // namespace dh::files
