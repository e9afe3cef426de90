#include "platform/shellops/treecopy.h"

#include "platform/shellops/progress.h"

#include <QString>

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace dh::shellops {

namespace {

constexpr size_t kChunkBytes = size_t(64) << 20; // one step of copy_file_range
constexpr size_t kBufferBytes = size_t(1) << 20; // one step of the read/write fallback

Status failure(const std::string& path, int error = errno) {
  return {error, path};
}

std::string join(const std::string& top, const std::string& relative) {
  return relative.empty() ? top : top + '/' + relative;
}

Status scanFolder(const std::string& top, const std::string& relative,
                  std::vector<TreeEntry>& entries, Progress* progress) {
  const std::string path = join(top, relative);
  if (progress && !progress->advance(0))
    return failure(path, ECANCELED);
  DIR* dir = opendir(path.c_str());
  if (!dir)
    return failure(path);
  Status status;
  std::vector<size_t> folders;
  for (errno = 0; dirent* d = readdir(dir); errno = 0) {
    const std::string name = d->d_name;
    if (name == "." || name == "..")
      continue;
    TreeEntry entry{relative.empty() ? name : relative + '/' + name, {}};
    if (fstatat(dirfd(dir), d->d_name, &entry.st, AT_SYMLINK_NOFOLLOW) != 0) {
      status = failure(join(top, entry.relative));
      break;
    }
    if (S_ISDIR(entry.st.st_mode))
      folders.push_back(entries.size());
    entries.push_back(std::move(entry));
  }
  if (status.ok() && errno != 0)
    status = failure(path);
  closedir(dir);
  // Sub-folders are listed after the folder's own entries; their contents follow them,
  // which keeps every parent ahead of what it holds.
  for (size_t i = 0; status.ok() && i < folders.size(); ++i)
    status = scanFolder(top, std::string(entries[folders[i]].relative), entries, progress);
  return status;
}

class TreeCopier {
public:
  explicit TreeCopier(Progress& progress) : progress_(progress) {}

  // Copies the scanned entries of source to target, or removes what it wrote.
  Status copy(const std::string& source, const std::string& target,
              const std::vector<TreeEntry>& entries) {
    Status status;
    bool created = false;
    for (const TreeEntry& e : entries) {
      status = copyEntry(join(source, e.relative), join(target, e.relative), e.st);
      if (!status.ok())
        break;
      created = true;
    }
    if (!status.ok()) {
      if (created)
        removeTree(target);
      return status;
    }
    // Folders get their modes and times last, once nothing more is written into them.
    for (auto e = entries.rbegin(); e != entries.rend(); ++e)
      if (S_ISDIR(e->st.st_mode))
        keepModeAndTimes(join(target, e->relative), e->st);
    return status;
  }

private:
  static void keepModeAndTimes(const std::string& path, const struct stat& st) {
    // A file system without modes (a FAT stick) refuses them; the copy is still good.
    chmod(path.c_str(), st.st_mode & 07777);
    const timespec times[2] = {st.st_atim, st.st_mtim};
    utimensat(AT_FDCWD, path.c_str(), times, 0);
  }

  Status copyEntry(const std::string& from, const std::string& to, const struct stat& st) {
    if (!progress_.advance(0))
      return failure(from, ECANCELED);
    switch (st.st_mode & S_IFMT) {
    case S_IFDIR:
      return mkdir(to.c_str(), 0700) == 0 ? Status{} : failure(to);
    case S_IFREG:
      return copyFile(from, to, st);
    case S_IFLNK: {
      std::string link(size_t(st.st_size) + 1, '\0');
      const ssize_t n = readlink(from.c_str(), link.data(), link.size());
      if (n < 0 || size_t(n) >= link.size())
        return failure(from, n < 0 ? errno : ESTALE);
      link.resize(size_t(n));
      if (symlink(link.c_str(), to.c_str()) != 0)
        return failure(to);
      const timespec times[2] = {st.st_atim, st.st_mtim};
      utimensat(AT_FDCWD, to.c_str(), times, AT_SYMLINK_NOFOLLOW);
      return {};
    }
    case S_IFIFO:
      if (mkfifo(to.c_str(), 0600) != 0)
        return failure(to);
      keepModeAndTimes(to, st);
      return {};
    default: // devices and sockets have no place in a pupil's folders
      return failure(from, ENOTSUP);
    }
  }

  Status copyFile(const std::string& from, const std::string& to, const struct stat& st) {
    const int in = open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (in < 0)
      return failure(from);
    const int out = open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0) {
      const Status status = failure(to);
      close(in);
      return status;
    }
    Status status = copyBytes(in, out, from, to, st.st_size);
    if (status.ok()) {
      fchmod(out, st.st_mode & 07777);
      const timespec times[2] = {st.st_atim, st.st_mtim};
      futimens(out, times);
    }
    // Network file systems may report a failed write only when the file is closed.
    if (close(out) != 0 && status.ok())
      status = failure(to);
    close(in);
    if (!status.ok())
      unlink(to.c_str());
    return status;
  }

  Status copyBytes(int in, int out, const std::string& from, const std::string& to, off_t size) {
    if (clone_ && size > 0) {
      if (ioctl(out, FICLONE, in) == 0)
        return progress_.advance(size) ? Status{} : failure(from, ECANCELED);
      clone_ = false; // not on this file system pair: no use asking for every file
    }
    if (size > off_t(kChunkBytes))
      posix_fadvise(in, 0, 0, POSIX_FADV_SEQUENTIAL);
    bool fallback = !copyRange_;
    off_t copied = 0;
    while (!fallback) {
      const ssize_t n = copy_file_range(in, nullptr, out, nullptr, kChunkBytes, 0);
      if (n == 0)
        break;
      if (n < 0) {
        if (errno == EINTR)
          continue;
        if (copied == 0 &&
            (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL)) {
          copyRange_ = false;
          fallback = true;
          break;
        }
        return failure(errno == EBADF ? from : to);
      }
      copied += n;
      if (!progress_.advance(n))
        return failure(from, ECANCELED);
    }
    if (fallback)
      return readWrite(in, out, from, to);
    return {};
  }

  Status readWrite(int in, int out, const std::string& from, const std::string& to) {
    if (buffer_.empty())
      buffer_.resize(kBufferBytes);
    for (;;) {
      const ssize_t n = read(in, buffer_.data(), buffer_.size());
      if (n < 0 && errno == EINTR)
        continue;
      if (n < 0)
        return failure(from);
      if (n == 0)
        return {};
      for (ssize_t written = 0; written < n;) {
        const ssize_t w = write(out, buffer_.data() + written, size_t(n - written));
        if (w < 0 && errno == EINTR)
          continue;
        if (w < 0)
          return failure(to);
        written += w;
      }
      if (!progress_.advance(n))
        return failure(from, ECANCELED);
    }
  }

  Progress& progress_;
  bool clone_ = true;
  bool copyRange_ = true;
  std::vector<char> buffer_;
};

qint64 bytesOf(const std::vector<TreeEntry>& entries) {
  qint64 bytes = 0;
  for (const TreeEntry& e : entries)
    if (S_ISREG(e.st.st_mode))
      bytes += e.st.st_size;
  return bytes;
}

// A folder's own times change as its contents go; what it holds is checked entry by entry
// and by rmdir, which never removes a folder that gained an entry.
bool unchanged(const struct stat& was, const struct stat& now) {
  if (was.st_ino != now.st_ino || was.st_dev != now.st_dev)
    return false;
  return S_ISDIR(was.st_mode) ||
         (was.st_size == now.st_size && was.st_mtim.tv_sec == now.st_mtim.tv_sec &&
          was.st_mtim.tv_nsec == now.st_mtim.tv_nsec);
}

// Removes the listed entries, deepest first. With checked, an entry that is no longer
// what was listed is kept (and so is its folder), and the first such entry is reported.
Status removeEntries(const std::string& top, const std::vector<TreeEntry>& entries, bool checked) {
  Status status;
  for (auto e = entries.rbegin(); e != entries.rend(); ++e) {
    const std::string path = join(top, e->relative);
    struct stat now;
    if (checked && (lstat(path.c_str(), &now) != 0 || !unchanged(e->st, now))) {
      if (status.ok())
        status = failure(path, kChangedWhileMoved);
      continue;
    }
    const int rc = S_ISDIR(e->st.st_mode) ? rmdir(path.c_str()) : unlink(path.c_str());
    if (rc != 0 && errno != ENOENT && status.ok())
      status = failure(path, checked && errno == ENOTEMPTY ? kChangedWhileMoved : errno);
  }
  return status;
}

// Lists source, with the item's name and a busy bar shown meanwhile, then its size.
Status scanAndAnnounce(const std::string& source, std::vector<TreeEntry>& entries,
                       Progress& progress) {
  const QString name = QString::fromLocal8Bit(nameOf(source));
  progress.beginItem(name, 0);
  Status status = scanTree(source, entries, &progress);
  if (status.ok())
    progress.beginItem(name, bytesOf(entries));
  return status;
}

} // namespace

Status scanTree(const std::string& path, std::vector<TreeEntry>& entries, Progress* progress) {
  TreeEntry top{{}, {}};
  if (lstat(path.c_str(), &top.st) != 0)
    return failure(path);
  const bool folder = S_ISDIR(top.st.st_mode);
  entries.push_back(std::move(top));
  return folder ? scanFolder(path, {}, entries, progress) : Status{};
}

Status copyTree(const std::string& source, const std::string& target, Progress& progress) {
  std::vector<TreeEntry> entries;
  const Status status = scanAndAnnounce(source, entries, progress);
  return status.ok() ? TreeCopier(progress).copy(source, target, entries) : status;
}

Status moveTree(const std::string& source, const std::string& target, Progress& progress) {
  const int error = renameNoReplace(source, target);
  if (error != EXDEV)
    return error == 0 ? Status{} : failure(error == EEXIST ? target : source, error);

  std::vector<TreeEntry> entries;
  Status status = scanAndAnnounce(source, entries, progress);
  if (status.ok())
    status = TreeCopier(progress).copy(source, target, entries);
  if (!status.ok())
    return status;
  // The copy reaches the disk before anything of the source goes.
  const int fd = open(parentOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  const bool synced = fd >= 0 && syncfs(fd) == 0;
  if (fd >= 0)
    close(fd);
  if (!synced) {
    status = failure(target);
    removeTree(target);
    return status;
  }
  return removeEntries(source, entries, true);
}

Status removeTree(const std::string& path) {
  std::vector<TreeEntry> entries;
  const Status status = scanTree(path, entries);
  return status.ok() ? removeEntries(path, entries, false) : status;
}

int renameNoReplace(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
    return 0;
  if (errno != EINVAL)
    return errno;
  // A file system without the flag: look first, then rename.
  if (pathExists(to))
    return EEXIST;
  return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

bool pathExists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

std::string parentOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos)
    return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace dh::shellops
