#include "platform/watch/treewatcher.h"

#include <QMetaObject>

#include <climits>
#include <cstdlib>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <dirent.h>

#include <map>
#include <set>
#include <utility>
#include <vector>

namespace dh::watch {

namespace {

constexpr std::uint32_t kFolderEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                        IN_CLOSE_WRITE | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF |
                                        IN_ONLYDIR | IN_DONT_FOLLOW | IN_EXCL_UNLINK;

} // namespace

// The watches of one tree: watch descriptor to folder path. Folders are found without
// following symbolic links, and each (device, inode) is taken once, so neither a link
// nor a bind mount can lead the walk round in a circle.
class TreeWatcher::Watches {
public:
  explicit Watches(int notify) : notify_(notify) {}

  // Returns the folders it took on.
  std::vector<QByteArray> addTree(const QByteArray& top) {
    std::vector<QByteArray> added;
    std::vector<QByteArray> pending{top};
    while (!pending.empty() && int(paths_.size()) < TreeWatcher::kMostFolders) {
      const QByteArray folder = pending.back();
      pending.pop_back();
      struct stat st {};
      if (lstat(folder.constData(), &st) != 0 || !S_ISDIR(st.st_mode) ||
          !seen_.insert({st.st_dev, st.st_ino}).second)
        continue;
      const int wd = inotify_add_watch(notify_, folder.constData(), kFolderEvents);
      if (wd < 0)
        continue;
      paths_[wd] = {folder, {st.st_dev, st.st_ino}};
      added.push_back(folder);
      DIR* dir = opendir(folder.constData());
      if (!dir)
        continue;
      while (const dirent* entry = readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
          continue;
        if (entry->d_type == DT_DIR || entry->d_type == DT_UNKNOWN)
          pending.push_back(folder + '/' + name);
      }
      closedir(dir);
    }
    return added;
  }

  // A folder moved away or renamed: its watches and those below it are dropped, so that
  // the folder is taken on afresh under the name it has now.
  void forgetTree(const QByteArray& top) {
    for (auto it = paths_.begin(); it != paths_.end();) {
      if (it->second.path == top || it->second.path.startsWith(top + '/')) {
        inotify_rm_watch(notify_, it->first);
        seen_.erase(it->second.identity);
        it = paths_.erase(it);
      } else {
        ++it;
      }
    }
  }

  void forget(int wd) {
    const auto found = paths_.find(wd);
    if (found == paths_.end())
      return;
    seen_.erase(found->second.identity);
    paths_.erase(found);
  }

  void clear() {
    for (const auto& [wd, folder] : paths_)
      inotify_rm_watch(notify_, wd);
    paths_.clear();
    seen_.clear();
  }

  const QByteArray* pathOf(int wd) const {
    const auto found = paths_.find(wd);
    return found == paths_.end() ? nullptr : &found->second.path;
  }

private:
  using Identity = std::pair<dev_t, ino_t>;
  struct Folder {
    QByteArray path;
    Identity identity;
  };
  int notify_;
  std::map<int, Folder> paths_;
  std::set<Identity> seen_;
};

TreeWatcher::TreeWatcher(QByteArray root, QObject* parent)
    : QObject(parent), root_(std::move(root)) {}

TreeWatcher::~TreeWatcher() {
  stop();
}

bool TreeWatcher::start() {
  if (running())
    return true;
  // The tree is walked from the folder the root leads to, so that a root an
  // administrator made as a symbolic link is watched too.
  char resolved[PATH_MAX];
  struct stat st {};
  if (!realpath(root_.constData(), resolved) || stat(resolved, &st) != 0 || !S_ISDIR(st.st_mode))
    return false;
  root_ = resolved;
  notify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  wake_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (notify_ < 0 || wake_ < 0) {
    stop();
    return false;
  }
  // The tree is watched before start returns, so that no change after it is missed.
  watches_ = std::make_unique<Watches>(notify_);
  watches_->addTree(root_);
  thread_ = std::thread([this] { run(); });
  return true;
}

void TreeWatcher::stop() {
  if (thread_.joinable()) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(wake_, &one, sizeof one);
    thread_.join();
  }
  watches_.reset();
  for (int* fd : {&notify_, &wake_}) {
    if (*fd >= 0)
      close(*fd);
    *fd = -1;
  }
}

void TreeWatcher::run() {
  Watches& watches = *watches_;

  alignas(inotify_event) char buffer[16 * 1024];
  std::set<QByteArray> changed;
  bool overflow = false;
  for (;;) {
    pollfd fds[2] = {{wake_, POLLIN, 0}, {notify_, POLLIN, 0}};
    // Once something changed, wait only briefly for more before reporting.
    const int ready = poll(fds, 2, changed.empty() && !overflow ? -1 : kQuietMs);
    if (ready < 0)
      continue;
    if (fds[0].revents)
      return;
    if (ready == 0) {
      // Quiet: report what gathered, on the owner's thread.
      std::vector<QByteArray> folders(changed.begin(), changed.end());
      if (overflow)
        folders = {QByteArray()};
      changed.clear();
      overflow = false;
      QMetaObject::invokeMethod(
          this,
          [this, folders] {
            for (const QByteArray& folder : folders)
              emit this->changed(folder);
          },
          Qt::QueuedConnection);
      continue;
    }
    const ssize_t length = read(notify_, buffer, sizeof buffer);
    for (ssize_t at = 0; at < length;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      at += ssize_t(sizeof(inotify_event) + event->len);
      if (event->mask & IN_Q_OVERFLOW) {
        // Notifications were lost: walk the whole tree again.
        watches.clear();
        watches.addTree(root_);
        overflow = true;
        continue;
      }
      const QByteArray* folder = watches.pathOf(event->wd);
      if (!folder)
        continue;
      const QByteArray path = *folder;
      if (event->mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF)) {
        if (event->mask & IN_IGNORED)
          watches.forget(event->wd);
        continue;
      }
      if ((event->mask & IN_ISDIR) && (event->mask & IN_MOVED_FROM))
        watches.forgetTree(path + '/' + QByteArray(event->name));
      // Entries may have appeared in a new folder before its watch: it and every folder
      // below it count as changed.
      if ((event->mask & IN_ISDIR) && (event->mask & (IN_CREATE | IN_MOVED_TO))) {
        for (const QByteArray& added : watches.addTree(path + '/' + QByteArray(event->name)))
          changed.insert(added);
      }
      changed.insert(path);
    }
  }
}

} // namespace dh::watch
