#include "platform/sync/namedevent.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <utility>

namespace dh::sync {
namespace {

constexpr char kSignalled = '1';
constexpr char kReset = '0';
constexpr const char* kSuffix = ".event";

std::string eventPath(const std::string& folder, const std::string& file) {
  return folder + "/" + file;
}

// Closes a descriptor when it goes out of scope.
struct descriptor {
  int fd;
  ~descriptor() {
    if (fd >= 0)
      ::close(fd);
  }
};

bool writeState(int fd, char state) {
  return ::pwrite(fd, &state, 1, 0) == 1;
}

} // namespace

StopSignal::StopSignal() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

StopSignal::~StopSignal() {
  if (fd_ >= 0)
    ::close(fd_);
}

void StopSignal::raise() {
  const std::uint64_t one = 1;
  (void)!::write(fd_, &one, sizeof one);
}

std::unique_ptr<NamedEvent> NamedEvent::open(const std::string& name, const SessionPlace& place) {
  if (!isObjectName(name))
    return nullptr;
  const std::string file = name + kSuffix;
  // The watch comes first, so that a signal between the first look and the first sleep
  // still wakes the waiter.
  const int notify = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  if (notify < 0)
    return nullptr;
  if (::inotify_add_watch(notify, place.folder.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO) < 0) {
    ::close(notify);
    return nullptr;
  }
  const descriptor made{openSessionFile(eventPath(place.folder, file), O_RDONLY, place.owner)};
  if (made.fd < 0) {
    ::close(notify);
    return nullptr;
  }
  return std::unique_ptr<NamedEvent>(new NamedEvent(place.folder, file, notify));
}

NamedEvent::NamedEvent(std::string folder, std::string file, int notify)
    : folder_(std::move(folder)), file_(std::move(file)), notify_(notify) {}

NamedEvent::~NamedEvent() {
  ::close(notify_);
}

bool NamedEvent::tryWait() {
  // Looking opens the file read-only, which the watch does not report, so that only
  // taking a signal wakes the other waiters (once, to find it taken).
  const std::string path = eventPath(folder_, file_);
  const descriptor reader{openExistingSessionFile(path, O_RDONLY)};
  if (reader.fd < 0 || ::flock(reader.fd, LOCK_EX) != 0)
    return false;
  char state = kReset;
  if (::pread(reader.fd, &state, 1, 0) != 1 || state != kSignalled)
    return false;
  const descriptor writer{openExistingSessionFile(path, O_WRONLY)};
  return writer.fd >= 0 && writeState(writer.fd, kReset);
}

NamedEvent::Wake NamedEvent::wait(const StopSignal& stop) {
  alignas(inotify_event) char events[sizeof(inotify_event) + NAME_MAX + 1];
  for (;;) {
    if (tryWait())
      return Wake::Signalled;
    pollfd fds[2] = {{notify_, POLLIN, 0}, {stop.descriptor(), POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR)
        continue;
      return Wake::Failed;
    }
    if (fds[1].revents != 0)
      return Wake::Stopped;
    if (fds[0].revents & (POLLERR | POLLNVAL))
      return Wake::Failed;
    // Only the events are drained here; the state file says whether one was ours.
    while (::read(notify_, events, sizeof events) > 0) {
    }
  }
}

bool setEvent(const std::string& name, const SessionPlace& place) {
  if (!isObjectName(name))
    return false;
  const descriptor writer{
      openSessionFile(eventPath(place.folder, name + kSuffix), O_WRONLY, place.owner)};
  if (writer.fd < 0 || ::flock(writer.fd, LOCK_EX) != 0)
    return false;
  return writeState(writer.fd, kSignalled);
}

} // namespace dh::sync
