#include "platform/sync/runtimedir.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <cstdlib>
#include <vector>

namespace dh::sync {
namespace {

constexpr mode_t kMode = 0660; // the session's group may use the objects too
// Never follows a link, never waits on a FIFO, never leaks into a started program.
constexpr int kOpenFlags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;

std::string runUserFolder(uid_t uid) {
  return "/run/user/" + std::to_string(uid);
}

int keepRegular(int fd) {
  struct stat status {};
  if (fd >= 0 && (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))) {
    ::close(fd);
    return -1;
  }
  return fd;
}

} // namespace

SessionPlace ownSession() {
  const uid_t uid = geteuid();
  const char* dir = std::getenv("XDG_RUNTIME_DIR");
  return {dir && *dir ? std::string(dir) : runUserFolder(uid), uid};
}

std::optional<SessionPlace> sessionOf(const std::string& user) {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwnam_r(user.c_str(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
    return std::nullopt;
  if (found->pw_uid == geteuid())
    return ownSession();
  return SessionPlace{runUserFolder(found->pw_uid), found->pw_uid};
}

int openSessionFile(const std::string& path, int mode, uid_t owner) {
  const int created = ::open(path.c_str(), mode | O_CREAT | O_EXCL | kOpenFlags, kMode);
  if (created >= 0) {
    ::fchmod(created, kMode);
    if (owner != geteuid())
      (void)::fchown(created, owner, static_cast<gid_t>(-1));
    return created;
  }
  return errno == EEXIST ? openExistingSessionFile(path, mode) : -1;
}

int openExistingSessionFile(const std::string& path, int mode) {
  return keepRegular(::open(path.c_str(), mode | kOpenFlags));
}

bool isObjectName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

} // namespace dh::sync
