#include "files/foldershortcut.h"

#include <libbfio.h> // liblnk's header needs it first
#include <liblnk.h>

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <vector>

namespace dh::files {

namespace {

bool OwnedByUser(const struct stat& st) {
  return st.st_uid == geteuid();
}

// The Target.lnk of a folder that is a shortcut by its entries, or empty.
std::string LinkFileOf(const std::string& folder) {
  DIR* dir = opendir(folder.c_str());
  if (!dir)
    return {};
  bool desktopIni = false;
  std::string link;
  int files = 0;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    struct stat st {};
    if (name == "." || name == ".." ||
        (fstatat(dirfd(dir), entry->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode)))
      continue;
    ++files;
    if (strcasecmp(entry->d_name, "desktop.ini") == 0)
      desktopIni = true;
    else if (strcasecmp(entry->d_name, "target.lnk") == 0)
      link = folder + "/" + name;
  }
  closedir(dir);
  return files == 2 && desktopIni ? link : std::string();
}

} // namespace

std::string Canonical(const std::string& path) {
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

bool IsWithin(const std::string& path, const std::string& base) {
  if (path.empty() || base.empty() || path.compare(0, base.size(), base) != 0)
    return false;
  return path.size() == base.size() || base == "/" || path[base.size()] == '/';
}

std::string ReadLinkTarget(const std::string& lnkPath) {
  liblnk_file_t* file = nullptr;
  if (liblnk_file_initialize(&file, nullptr) != 1)
    return {};
  std::string target;
  if (liblnk_file_open(file, lnkPath.c_str(), LIBLNK_OPEN_READ, nullptr) == 1) {
    size_t size = 0;
    if (liblnk_file_get_utf8_local_path_size(file, &size, nullptr) == 1 && size > 1) {
      std::vector<uint8_t> text(size);
      if (liblnk_file_get_utf8_local_path(file, text.data(), size, nullptr) == 1)
        target.assign(reinterpret_cast<const char*>(text.data()));
    }
    liblnk_file_close(file, nullptr);
  }
  liblnk_file_free(&file, nullptr);
  return target;
}

std::optional<FolderShortcut> ReadFolderShortcut(const std::string& path) {
  struct stat own {};
  if (lstat(path.c_str(), &own) != 0)
    return std::nullopt;
  FolderShortcut shortcut;
  if (S_ISLNK(own.st_mode)) {
    shortcut.target = Canonical(path);
    shortcut.madeByUser = OwnedByUser(own);
  } else if (S_ISDIR(own.st_mode)) {
    const std::string link = LinkFileOf(path);
    struct stat linkStat {};
    if (link.empty() || lstat(link.c_str(), &linkStat) != 0)
      return std::nullopt;
    const std::string written = ReadLinkTarget(link);
    if (written.empty())
      return std::nullopt;
    shortcut.target = Canonical(written);
    shortcut.madeByUser = OwnedByUser(own) || OwnedByUser(linkStat);
  }
  struct stat target {};
  if (shortcut.target.empty() || stat(shortcut.target.c_str(), &target) != 0 ||
      !S_ISDIR(target.st_mode))
    return std::nullopt;
  return shortcut;
}

} // namespace dh::files
