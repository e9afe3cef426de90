#include "platform/confine/confinedroot.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace dh::confine {

namespace {

int openBeneath(int root, const std::string& relative, std::uint64_t flags) {
  open_how how{};
  how.flags = flags | O_CLOEXEC;
  how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
  int fd;
  do
    fd = int(syscall(SYS_openat2, root, relative.c_str(), &how, sizeof how));
  while (fd < 0 && errno == EAGAIN); // a rename elsewhere raced the lookup: try again
  return fd;
}

Descriptor failed(int* error, int value = errno) {
  if (error)
    *error = value;
  return {};
}

} // namespace

bool isPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

bool splitRelative(const std::string& relative, std::vector<std::string>& names) {
  std::vector<std::string> found;
  std::size_t at = 0;
  while (at <= relative.size()) {
    const std::size_t slash = std::min(relative.find('/', at), relative.size());
    const std::string name = relative.substr(at, slash - at);
    if (name == "." || name == "..")
      return false;
    if (!name.empty())
      found.push_back(name);
    at = slash + 1;
  }
  names = std::move(found);
  return true;
}

std::shared_ptr<const ConfinedRoot> ConfinedRoot::open(const std::string& folder) {
  Descriptor root(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  return std::shared_ptr<const ConfinedRoot>(new ConfinedRoot(std::move(root), folder));
}

std::shared_ptr<const ConfinedRoot> ConfinedRoot::adopt(Descriptor folder, std::string path) {
  return std::shared_ptr<const ConfinedRoot>(new ConfinedRoot(std::move(folder), std::move(path)));
}

Descriptor ConfinedRoot::openFolder(const std::string& relative, int* error) const {
  std::vector<std::string> names;
  if (!root_.valid())
    return failed(error, EBADF);
  if (!splitRelative(relative, names))
    return failed(error, EINVAL);
  std::string clean = ".";
  for (const std::string& name : names)
    clean += '/' + name;
  const int fd = openBeneath(root_.get(), clean, O_RDONLY | O_DIRECTORY);
  return fd < 0 ? failed(error) : Descriptor(fd);
}

int makeFolder(const Descriptor& folder, const std::string& name) {
  if (!isPlainName(name))
    return EINVAL;
  return mkdirat(folder.get(), name.c_str(), 0777) == 0 ? 0 : errno;
}

int renameEntry(const Descriptor& from, const std::string& fromName, const Descriptor& to,
                const std::string& toName) {
  if (!isPlainName(fromName) || !isPlainName(toName))
    return EINVAL;
  return renameat2(from.get(), fromName.c_str(), to.get(), toName.c_str(), RENAME_NOREPLACE) == 0
             ? 0
             : errno;
}

int statEntry(const Descriptor& folder, const std::string& name, struct stat& info) {
  if (!isPlainName(name))
    return EINVAL;
  return fstatat(folder.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : errno;
}

Descriptor openFile(const Descriptor& folder, const std::string& name, int* error) {
  if (!isPlainName(name))
    return failed(error, EINVAL);
  // O_NONBLOCK: a fifo put in the file's place must not hang the page.
  Descriptor file(openat(folder.get(), name.c_str(),
                         O_RDONLY | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  struct stat st {};
  if (!file.valid())
    return failed(error);
  if (fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode))
    return failed(error, EINVAL);
  fcntl(file.get(), F_SETFL, fcntl(file.get(), F_GETFL) & ~O_NONBLOCK);
  return file;
}

Descriptor openSubfolder(const Descriptor& folder, const std::string& name, int* error) {
  if (!isPlainName(name))
    return failed(error, EINVAL);
  const int fd = openBeneath(folder.get(), name, O_RDONLY | O_DIRECTORY);
  return fd < 0 ? failed(error) : Descriptor(fd);
}

std::vector<std::string> listNames(const Descriptor& folder, int* error) {
  std::vector<std::string> names;
  const int fd = openat(folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* dir = fd < 0 ? nullptr : fdopendir(fd);
  if (!dir) {
    if (error)
      *error = errno;
    if (fd >= 0)
      close(fd);
    return names;
  }
  for (errno = 0; const dirent* entry = readdir(dir); errno = 0) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..")
      names.push_back(name);
  }
  if (error)
    *error = errno;
  closedir(dir);
  return names;
}

FollowedLink followLink(const Descriptor& folder, const std::string& name) {
  FollowedLink link;
  if (!isPlainName(name))
    return link;
  // The link itself, held open: its owner and its text are those of one and the same link.
  const Descriptor held(openat(folder.get(), name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
  struct stat st {};
  if (!held.valid() || fstat(held.get(), &st) != 0 || !S_ISLNK(st.st_mode))
    return link;
  std::string text(PATH_MAX, '\0');
  const ssize_t length = readlinkat(held.get(), "", text.data(), text.size());
  if (length <= 0 || std::size_t(length) >= text.size())
    return link;
  text.resize(std::size_t(length));
  link.owner = st.st_uid;
  link.target = Descriptor(openat(folder.get(), text.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  link.targetPath = currentPath(link.target);
  if (link.targetPath.empty())
    link.target = Descriptor();
  return link;
}

std::string currentPath(const Descriptor& descriptor) {
  char resolved[PATH_MAX];
  return descriptor.valid() && realpath(descriptor.procPath().c_str(), resolved) ? resolved
                                                                                 : std::string();
}

} // namespace dh::confine
