#include "platform/shellops/trash.h"

#include <QByteArray>
#include <QDateTime>

#include <algorithm>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

namespace dh::shellops {

namespace {

struct TrashDir {
  std::string path;
  std::string topdir; // empty for the home trash, whose records hold absolute paths
};

const char kInfoSuffix[] = ".trashinfo";

bool isOwnFolder(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid();
}

// Makes the folder (mode 0700) unless it is there; true when it is a folder afterwards.
bool makeFolder(const std::string& path) {
  struct stat st;
  return mkdir(path.c_str(), 0700) == 0 ||
         (errno == EEXIST && lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode));
}

bool makeFolders(const std::string& path) {
  if (path.empty() || path == "/" || pathExists(path))
    return true;
  return makeFolders(parentOf(path)) && (mkdir(path.c_str(), 0777) == 0 || errno == EEXIST);
}

bool prepare(const TrashDir& trash) {
  return makeFolder(trash.path + "/files") && makeFolder(trash.path + "/info");
}

dev_t deviceOf(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? st.st_dev : dev_t(-1);
}

// The top folder of the file system device, found from the (resolved) folder on it; empty
// when the folder is not (or no longer) there. A folder swapped or gone between the
// resolving and this must not pass for the top: a trash would be made inside it, wherever
// it leads by then.
std::string mountTop(std::string folder, dev_t device) {
  if (device == dev_t(-1) || deviceOf(folder) != device)
    return {};
  while (folder != "/") {
    const std::string up = parentOf(folder);
    if (deviceOf(up) != device)
      break;
    folder = up;
  }
  return folder;
}

std::string inTop(const std::string& topdir, const std::string& name) {
  return topdir == "/" ? "/" + name : topdir + "/" + name;
}

// The volume's trash folders in the order the freedesktop.org rules prefer them. The shared
// .Trash counts only when it is a real sticky folder, so nobody can plant one.
std::vector<TrashDir> volumeTrashes(const std::string& topdir) {
  const std::string uid = std::to_string(getuid());
  std::vector<TrashDir> dirs;
  struct stat st;
  const std::string shared = inTop(topdir, ".Trash");
  if (lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX))
    dirs.push_back({shared + "/" + uid, topdir});
  dirs.push_back({inTop(topdir, ".Trash-" + uid), topdir});
  return dirs;
}

bool usable(const TrashDir& trash) {
  return makeFolder(trash.path) && isOwnFolder(trash.path) && prepare(trash);
}

// The trash for the item at path (as given, perhaps through a folder held open), whose
// resolved spelling is resolved.
TrashDir trashFor(const std::string& path, const std::string& resolved) {
  const TrashDir home{homeTrashPath(), {}};
  const dev_t device = deviceOf(parentOf(path));
  const bool homeMade = makeFolders(parentOf(home.path)) && makeFolder(home.path);
  if (homeMade && deviceOf(home.path) == device && prepare(home))
    return home;
  const std::string top = mountTop(parentOf(resolved), device);
  for (const TrashDir& trash : top.empty() ? std::vector<TrashDir>() : volumeTrashes(top))
    if (usable(trash))
      return trash;
  prepare(home);
  return home;
}

std::string infoText(const std::string& path, const TrashDir& trash) {
  const std::string recorded =
      trash.topdir.empty() ? path : path.substr(trash.topdir == "/" ? 1 : trash.topdir.size() + 1);
  const QByteArray encoded = QByteArray::fromStdString(recorded).toPercentEncoding("/");
  const QString date = QDateTime::currentDateTime().toString(Qt::ISODate).left(19);
  return "[Trash Info]\nPath=" + encoded.toStdString() + "\nDeletionDate=" + date.toStdString() +
         "\n";
}

// Creates the record under the first free name: name, name.2, name.3, ...
int createInfo(const TrashDir& trash, const std::string& name, const std::string& text,
               TrashEntry& entry) {
  for (int n = 1;; ++n) {
    const std::string unique = n == 1 ? name : name + "." + std::to_string(n);
    entry.infoPath = trash.path + "/info/" + unique + kInfoSuffix;
    entry.filesPath = trash.path + "/files/" + unique;
    const int fd = open(entry.infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 && errno == EEXIST)
      continue;
    if (fd < 0)
      return errno;
    const bool written = write(fd, text.data(), text.size()) == ssize_t(text.size());
    const int error = written ? (close(fd) == 0 ? 0 : errno) : errno;
    if (!written)
      close(fd);
    if (error == 0 && !pathExists(entry.filesPath))
      return 0;
    unlink(entry.infoPath.c_str()); // a failed write, or an item left without its record
    if (error != 0)
      return error;
  }
}

struct Record {
  std::string path;
  std::string date;
};

std::optional<Record> readInfo(const std::string& infoPath, const TrashDir& trash) {
  FILE* f = fopen(infoPath.c_str(), "re");
  if (!f)
    return std::nullopt;
  Record record;
  bool header = false;
  char line[PATH_MAX * 3 + 64];
  while (fgets(line, sizeof line, f)) {
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
      text.pop_back();
    if (text.rfind('[', 0) == 0)
      header = text == "[Trash Info]";
    else if (header && text.rfind("Path=", 0) == 0)
      record.path =
          QByteArray::fromPercentEncoding(QByteArray::fromStdString(text.substr(5))).toStdString();
    else if (header && text.rfind("DeletionDate=", 0) == 0)
      record.date = text.substr(13);
  }
  fclose(f);
  if (record.path.empty())
    return std::nullopt;
  if (record.path[0] != '/')
    record.path = inTop(trash.topdir.empty() ? "/" : trash.topdir, record.path);
  return record;
}

} // namespace

std::string homeTrashPath() {
  const char* data = getenv("XDG_DATA_HOME");
  if (data && data[0] == '/')
    return std::string(data) + "/Trash";
  const char* home = getenv("HOME");
  std::string base = home && home[0] == '/' ? home : "";
  if (base.empty())
    if (const passwd* pw = getpwuid(getuid()))
      base = pw->pw_dir;
  return base + "/.local/share/Trash";
}

std::string resolvedPath(const std::string& path) {
  if (path.empty() || path == "/")
    return "/";
  char resolved[PATH_MAX];
  const std::string folder = parentOf(path);
  if (realpath(folder.c_str(), resolved))
    return inTop(resolved, nameOf(path));
  return inTop(resolvedPath(folder), nameOf(path));
}

Status putInTrash(const std::string& path, Progress& progress, TrashEntry& entry) {
  entry.originalPath = resolvedPath(path);
  if (!pathExists(entry.originalPath))
    return {errno, path};
  const TrashDir trash = trashFor(path, entry.originalPath);
  const int error =
      createInfo(trash, nameOf(entry.originalPath), infoText(entry.originalPath, trash), entry);
  if (error != 0)
    return {error, trash.path};
  // The item is taken by the path given: it may lead through a folder held open, which
  // its resolved spelling no longer does.
  const Status status = moveTree(path, entry.filesPath, progress);
  if (!status.ok() && !pathExists(entry.filesPath))
    unlink(entry.infoPath.c_str());
  return status;
}

Status takeBackFromTrash(const TrashEntry& entry, Progress& progress) {
  if (pathExists(entry.originalPath))
    return {EEXIST, entry.originalPath};
  if (!makeFolders(parentOf(entry.originalPath)))
    return {errno, parentOf(entry.originalPath)};
  const Status status = moveTree(entry.filesPath, entry.originalPath, progress);
  if (status.ok())
    unlink(entry.infoPath.c_str());
  return status;
}

std::optional<TrashEntry> trashedAt(const std::string& filesPath, const std::string& originalPath) {
  // A trash keeps an item as files/NAME and its record as info/NAME.trashinfo.
  const std::string infoPath =
      parentOf(parentOf(filesPath)) + "/info/" + nameOf(filesPath) + kInfoSuffix;
  if (!pathExists(filesPath) || !pathExists(infoPath))
    return std::nullopt;
  return TrashEntry{originalPath, infoPath, filesPath};
}

std::optional<TrashEntry> findInTrash(const std::string& path) {
  const std::string wanted = resolvedPath(path);
  std::string existing = parentOf(wanted);
  while (!pathExists(existing))
    existing = parentOf(existing);
  const std::string top = mountTop(existing, deviceOf(existing));
  std::vector<TrashDir> trashes = top.empty() ? std::vector<TrashDir>() : volumeTrashes(top);
  // A volume's trash is read only when it is the user's own real folder: anyone who can
  // write the volume could plant one, or a link to somewhere else, to be restored from.
  trashes.erase(std::remove_if(trashes.begin(), trashes.end(),
                               [](const TrashDir& trash) { return !isOwnFolder(trash.path); }),
                trashes.end());
  trashes.insert(trashes.begin(), TrashDir{homeTrashPath(), {}});

  std::optional<TrashEntry> found;
  std::string newest;
  for (const TrashDir& trash : trashes) {
    const std::string infoFolder = trash.path + "/info";
    DIR* dir = opendir(infoFolder.c_str());
    if (!dir)
      continue;
    while (const dirent* d = readdir(dir)) {
      std::string name = d->d_name;
      const size_t suffix = sizeof kInfoSuffix - 1;
      if (name.size() <= suffix || name.compare(name.size() - suffix, suffix, kInfoSuffix))
        continue;
      const std::string infoPath = infoFolder + "/" + name;
      const std::optional<Record> record = readInfo(infoPath, trash);
      name.resize(name.size() - suffix);
      const std::string filesPath = trash.path + "/files/" + name;
      if (record && record->path == wanted && record->date >= newest && pathExists(filesPath)) {
        newest = record->date;
        found = TrashEntry{wanted, infoPath, filesPath};
      }
    }
    closedir(dir);
  }
  return found;
}

} // namespace dh::shellops
