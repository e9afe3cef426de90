#include "platform/shellops/treecopy.h"

#include "platform/confine/confinedroot.h"
#include "platform/shellops/progress.h"

#include <QString>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <vector>

namespace dh::shellops {

namespace {

using dh::confine::Descriptor;

constexpr size_t kChunkBytes = size_t(64) << 20; // one step of copy_file_range
constexpr size_t kBufferBytes = size_t(1) << 20; // one step of the read/write fallback

// One item of a tree as it was listed: its name in its folder, its path relative to the
// top ("" for the top), the entry of that folder, and its status (a link not followed).
struct TreeEntry {
  std::string name;
  std::string relative;
  size_t parent = 0; // unused for the top
  struct stat st {};
};
// Parents come before what they hold; the top is first.
using Tree = std::vector<TreeEntry>;

Status failure(const std::string& path, int error = errno) {
  return {error, path};
}

std::string join(const std::string& top, const std::string& relative) {
  return relative.empty() ? top : top + '/' + relative;
}

// A link or anything else found where a folder or file was listed is a change, however
// the kernel words it.
int changedOr(int error) {
  return error == ELOOP || error == ENOTDIR || error == EINVAL ? kChangedMeanwhile : error;
}

// The folder holding the item that path names, opened by its path: up to the item, a path
// leads where its caller meant, links and held folders ("/proc/self/fd/N") included.
Descriptor openHolder(const std::string& path) {
  return Descriptor(open(parentOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

// The folders of a tree, each opened beneath the folder holding it, never through a link,
// and checked to be the folder that is expected there. Only the way from the top down to
// the folder in use is held open, so a tree needs no more descriptors than it is deep.
class FolderChain {
public:
  FolderChain(Descriptor holder, std::string topName, const Tree& tree)
      : holder_(std::move(holder)), topName_(std::move(topName)), tree_(tree),
        expected_(tree.size()) {}

  bool valid() const { return holder_.valid(); }
  const std::string& name(size_t index) const { return index == 0 ? topName_ : tree_[index].name; }
  // The folder at index must be the object st describes.
  void expect(size_t index, const struct stat& st) { expected_[index] = {st.st_dev, st.st_ino}; }
  void expectListed() {
    for (size_t i = 0; i < tree_.size(); ++i)
      if (S_ISDIR(tree_[i].st.st_mode))
        expect(i, tree_[i].st);
  }

  // The folder that holds the entry at index, or null with errno set.
  const Descriptor* holding(size_t index) {
    return index == 0 ? &holder_ : folder(tree_[index].parent);
  }
  // The folder at index itself, or null with errno set (kChangedMeanwhile where a folder
  // on the way is no longer the one expected).
  const Descriptor* folder(size_t index);

private:
  struct Identity {
    dev_t device = 0;
    ino_t inode = 0; // 0: anything that is a real folder
  };

  Descriptor holder_;
  std::string topName_;
  const Tree& tree_;
  std::vector<Identity> expected_;
  std::vector<std::pair<size_t, Descriptor>> held_; // top first
};

const Descriptor* FolderChain::folder(size_t index) {
  if (!held_.empty() && held_.back().first == index)
    return &held_.back().second;
  std::vector<size_t> way{index};
  while (way.back() != 0)
    way.push_back(tree_[way.back()].parent);
  std::reverse(way.begin(), way.end());
  size_t kept = 0;
  while (kept < held_.size() && kept < way.size() && held_[kept].first == way[kept])
    ++kept;
  held_.erase(held_.begin() + std::ptrdiff_t(kept), held_.end());
  for (size_t k = kept; k < way.size(); ++k) {
    int error = 0;
    Descriptor next = dh::confine::openSubfolder(held_.empty() ? holder_ : held_.back().second,
                                                 name(way[k]), &error);
    struct stat st {};
    if (!next.valid() || fstat(next.get(), &st) != 0) {
      errno = changedOr(next.valid() ? errno : error);
      return nullptr;
    }
    const Identity& wanted = expected_[way[k]];
    if (wanted.inode != 0 && (wanted.device != st.st_dev || wanted.inode != st.st_ino)) {
      errno = kChangedMeanwhile;
      return nullptr;
    }
    held_.emplace_back(way[k], std::move(next));
  }
  return &held_.back().second;
}

Status scanFolder(const Descriptor& holder, size_t index, const std::string& top, Tree& tree,
                  Progress* progress) {
  const std::string relative = tree[index].relative;
  const std::string path = join(top, relative);
  if (progress && !progress->advance(0))
    return failure(path, ECANCELED);
  int error = 0;
  const Descriptor folder = dh::confine::openSubfolder(holder, tree[index].name, &error);
  struct stat st {};
  if (!folder.valid())
    return failure(path, changedOr(error));
  if (fstat(folder.get(), &st) != 0)
    return failure(path);
  if (st.st_dev != tree[index].st.st_dev || st.st_ino != tree[index].st.st_ino)
    return failure(path, kChangedMeanwhile);
  const std::vector<std::string> names = dh::confine::listNames(folder, &error);
  if (error != 0)
    return failure(path, error);
  std::vector<size_t> folders;
  for (const std::string& name : names) {
    TreeEntry entry{name, relative.empty() ? name : relative + '/' + name, index, {}};
    if (fstatat(folder.get(), name.c_str(), &entry.st, AT_SYMLINK_NOFOLLOW) != 0)
      return failure(join(top, entry.relative));
    if (S_ISDIR(entry.st.st_mode))
      folders.push_back(tree.size());
    tree.push_back(std::move(entry));
  }
  // Sub-folders are listed after the folder's own entries; their contents follow them,
  // which keeps every parent ahead of what it holds.
  for (const size_t sub : folders)
    if (const Status status = scanFolder(folder, sub, top, tree, progress); !status.ok())
      return status;
  return {};
}

// Lists path and everything below it. With progress, each folder is a step at which the
// user may stop the listing.
Status scanTree(const std::string& path, Tree& tree, Progress* progress = nullptr) {
  const Descriptor holder = openHolder(path);
  TreeEntry top{nameOf(path), {}, 0, {}};
  if (!holder.valid() || fstatat(holder.get(), top.name.c_str(), &top.st, AT_SYMLINK_NOFOLLOW) != 0)
    return failure(path);
  const bool folder = S_ISDIR(top.st.st_mode);
  tree.push_back(std::move(top));
  return folder ? scanFolder(holder, 0, path, tree, progress) : Status{};
}

void keepModeAndTimes(int fd, const struct stat& st) {
  // A file system without modes (a FAT stick) refuses them; the copy is still good.
  fchmod(fd, st.st_mode & 07777);
  const timespec times[2] = {st.st_atim, st.st_mtim};
  futimens(fd, times);
}

class TreeCopier {
public:
  explicit TreeCopier(Progress& progress) : progress_(progress) {}

  // Copies the listed tree of source to target, or removes what it wrote.
  Status copy(const std::string& source, const std::string& target, const Tree& tree) {
    FolderChain from(openHolder(source), nameOf(source), tree);
    FolderChain to(openHolder(target), nameOf(target), tree);
    if (!from.valid() || !to.valid())
      return failure(from.valid() ? target : source);
    from.expectListed();
    Status status;
    bool created = false;
    for (size_t i = 0; i < tree.size() && status.ok(); ++i) {
      status = copyEntry(from, to, i, tree[i].st, join(source, tree[i].relative),
                         join(target, tree[i].relative));
      created = created || status.ok();
    }
    if (!status.ok()) {
      if (created)
        removeTree(target);
      return status;
    }
    // Folders get their modes and times last, once nothing more is written into them.
    for (size_t i = tree.size(); i-- > 0;)
      if (S_ISDIR(tree[i].st.st_mode))
        if (const Descriptor* folder = to.folder(i))
          keepModeAndTimes(folder->get(), tree[i].st);
    return status;
  }

private:
  Status copyEntry(FolderChain& from, FolderChain& to, size_t index, const struct stat& st,
                   const std::string& fromPath, const std::string& toPath) {
    if (!progress_.advance(0))
      return failure(fromPath, ECANCELED);
    const Descriptor* in = from.holding(index);
    if (!in)
      return failure(fromPath);
    const Descriptor* out = to.holding(index);
    if (!out)
      return failure(toPath);
    const std::string& fromName = from.name(index);
    const std::string& toName = to.name(index);
    switch (st.st_mode & S_IFMT) {
    case S_IFDIR: {
      int error = 0;
      if (mkdirat(out->get(), toName.c_str(), 0700) != 0)
        return failure(toPath);
      // The copy's folders are held to be the ones made here, as the source's are.
      const Descriptor made = dh::confine::openSubfolder(*out, toName, &error);
      struct stat madeSt {};
      if (!made.valid() || fstat(made.get(), &madeSt) != 0)
        return failure(toPath, made.valid() ? errno : changedOr(error));
      to.expect(index, madeSt);
      return {};
    }
    case S_IFREG:
      return copyFile(*in, fromName, *out, toName, fromPath, toPath);
    case S_IFLNK: {
      std::string link(size_t(st.st_size) + 1, '\0');
      const ssize_t n = readlinkat(in->get(), fromName.c_str(), link.data(), link.size());
      if (n < 0 || size_t(n) >= link.size())
        return failure(fromPath, n < 0 ? changedOr(errno) : kChangedMeanwhile);
      link.resize(size_t(n));
      if (symlinkat(link.c_str(), out->get(), toName.c_str()) != 0)
        return failure(toPath);
      const timespec times[2] = {st.st_atim, st.st_mtim};
      utimensat(out->get(), toName.c_str(), times, AT_SYMLINK_NOFOLLOW);
      return {};
    }
    case S_IFIFO: {
      if (mkfifoat(out->get(), toName.c_str(), 0600) != 0)
        return failure(toPath);
      const int fifo =
          openat(out->get(), toName.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
      if (fifo >= 0) {
        keepModeAndTimes(fifo, st);
        close(fifo);
      }
      return {};
    }
    default: // devices and sockets have no place in a pupil's folders
      return failure(fromPath, ENOTSUP);
    }
  }

  Status copyFile(const Descriptor& fromFolder, const std::string& fromName,
                  const Descriptor& toFolder, const std::string& toName,
                  const std::string& fromPath, const std::string& toPath) {
    int error = 0;
    const Descriptor in = dh::confine::openFile(fromFolder, fromName, &error);
    struct stat st {};
    if (!in.valid())
      return failure(fromPath, changedOr(error));
    if (fstat(in.get(), &st) != 0)
      return failure(fromPath);
    const int out = openat(toFolder.get(), toName.c_str(),
                           O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (out < 0)
      return failure(toPath);
    Status status = copyBytes(in.get(), out, fromPath, toPath, st.st_size);
    if (status.ok())
      keepModeAndTimes(out, st);
    // Network file systems may report a failed write only when the file is closed.
    if (close(out) != 0 && status.ok())
      status = failure(toPath);
    if (!status.ok())
      unlinkat(toFolder.get(), toName.c_str(), 0);
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

qint64 bytesOf(const Tree& tree) {
  qint64 bytes = 0;
  for (const TreeEntry& e : tree)
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

// Removes the listed entries of the tree at top, deepest first. With checked, an entry that
// is no longer what was listed is kept (and so is its folder), and the first such entry is
// reported. Nothing is ever removed through a link.
Status removeEntries(const std::string& top, const Tree& tree, bool checked) {
  FolderChain chain(openHolder(top), nameOf(top), tree);
  chain.expectListed();
  Status status;
  const auto keep = [&status](const std::string& path, int error) {
    if (status.ok())
      status = failure(path, error);
  };
  for (size_t i = tree.size(); i-- > 0;) {
    const std::string path = join(top, tree[i].relative);
    const Descriptor* folder = chain.holding(i);
    if (!folder) {
      keep(path, errno);
      continue;
    }
    const char* name = chain.name(i).c_str();
    struct stat now {};
    if (checked && (fstatat(folder->get(), name, &now, AT_SYMLINK_NOFOLLOW) != 0 ||
                    !unchanged(tree[i].st, now))) {
      keep(path, kChangedMeanwhile);
      continue;
    }
    const int rc = unlinkat(folder->get(), name, S_ISDIR(tree[i].st.st_mode) ? AT_REMOVEDIR : 0);
    if (rc != 0 && errno != ENOENT)
      keep(path, checked && errno == ENOTEMPTY ? kChangedMeanwhile : changedOr(errno));
  }
  return status;
}

// Lists source, with the item's name and a busy bar shown meanwhile, then its size.
Status scanAndAnnounce(const std::string& source, Tree& tree, Progress& progress) {
  const QString name = QString::fromLocal8Bit(nameOf(source));
  progress.beginItem(name, 0);
  Status status = scanTree(source, tree, &progress);
  if (status.ok())
    progress.beginItem(name, bytesOf(tree));
  return status;
}

} // namespace

Status copyTree(const std::string& source, const std::string& target, Progress& progress) {
  Tree tree;
  const Status status = scanAndAnnounce(source, tree, progress);
  return status.ok() ? TreeCopier(progress).copy(source, target, tree) : status;
}

Status moveTree(const std::string& source, const std::string& target, Progress& progress) {
  const int error = renameNoReplace(source, target);
  if (error != EXDEV)
    return error == 0 ? Status{} : failure(error == EEXIST ? target : source, error);

  Tree tree;
  Status status = scanAndAnnounce(source, tree, progress);
  if (status.ok())
    status = TreeCopier(progress).copy(source, target, tree);
  if (!status.ok())
    return status;
  // The copy reaches the disk before anything of the source goes.
  const Descriptor holder = openHolder(target);
  if (!holder.valid() || syncfs(holder.get()) != 0) {
    status = failure(target);
    removeTree(target);
    return status;
  }
  return removeEntries(source, tree, true);
}

Status removeTree(const std::string& path) {
  Tree tree;
  const Status status = scanTree(path, tree);
  return status.ok() ? removeEntries(path, tree, false) : status;
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
