#include "platform/registry/writerlock.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace dh::reg {

namespace {

// After the deadline the timer repeats, so that a signal that came just before flock()
// started waiting is followed by another.
constexpr long kRepeatNanoseconds = 50'000'000;

// The signal that interrupts a writer's wait; its handler does nothing, the interrupted
// flock() returns EINTR. Taken only when nobody else handles it.
int wakeSignal() {
  static const int signal = [] {
    const int chosen = SIGRTMIN + 5;
    struct sigaction current {};
    if (::sigaction(chosen, nullptr, &current) != 0 || current.sa_handler != SIG_DFL)
      return 0;
    struct sigaction action {};
    action.sa_handler = [](int) {};
    sigemptyset(&action.sa_mask);
    return ::sigaction(chosen, &action, nullptr) == 0 ? chosen : 0;
  }();
  return signal;
}

// flock(LOCK_EX) that gives up after seconds.
bool lockWithin(int fd, int seconds) {
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
    return true; // nobody else writes: no timer needed
  const int signal = wakeSignal();
  timer_t timer{};
  sigevent event{};
  event.sigev_notify = SIGEV_THREAD_ID;
  event.sigev_signo = signal;
  event._sigev_un._tid = static_cast<pid_t>(::syscall(SYS_gettid));
  if (!signal || ::timer_create(CLOCK_MONOTONIC, &event, &timer) != 0) {
    // No way to interrupt a wait: ask once a tenth of a second until the deadline.
    for (int tries = seconds * 10; tries >= 0; --tries) {
      if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
        return true;
      ::usleep(100'000);
    }
    return false;
  }
  itimerspec when{};
  when.it_value.tv_sec = seconds;
  when.it_interval.tv_nsec = kRepeatNanoseconds;
  ::timer_settime(timer, 0, &when, nullptr);
  timespec start{}, now{};
  ::clock_gettime(CLOCK_MONOTONIC, &start);
  bool locked = false;
  while (true) {
    if (::flock(fd, LOCK_EX) == 0) {
      locked = true;
      break;
    }
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    if (errno != EINTR || now.tv_sec - start.tv_sec >= seconds)
      break;
  }
  ::timer_delete(timer);
  return locked;
}

// Read and write for those who may write the hive, nothing for the others.
mode_t writersOnly(mode_t hive) {
  mode_t mode = 0;
  for (mode_t write : {mode_t(S_IWUSR), mode_t(S_IWGRP), mode_t(S_IWOTH)})
    if (hive & write)
      mode |= write | (write << 1); // the read bit sits just above the write bit
  return mode;
}

std::string describeProcess(pid_t pid) {
  std::string command;
  std::ifstream(("/proc/" + std::to_string(pid) + "/comm").c_str()) >> command;
  struct stat info {};
  std::string user = "unknown";
  if (::stat(("/proc/" + std::to_string(pid)).c_str(), &info) == 0) {
    const passwd* pw = ::getpwuid(info.st_uid);
    user = pw ? pw->pw_name : std::to_string(info.st_uid);
  }
  return "process " + std::to_string(pid) + " (" + (command.empty() ? "?" : command) +
         ") of user " + user;
}

} // namespace

std::string gaveUpText() {
  const int seconds = lockWaitSeconds();
  return "gave up after " + std::to_string(seconds) + (seconds == 1 ? " second" : " seconds");
}

std::string lockHolders(const std::string& path) {
  struct stat file {};
  if (::stat(path.c_str(), &file) != 0)
    return {};
  std::ifstream locks("/proc/locks");
  std::string line, holders;
  while (std::getline(locks, line)) {
    // "1: POSIX  ADVISORY  READ 1234 08:01:5678 0 EOF"; waiters are marked "->".
    std::istringstream fields(line);
    std::string number, kind, advisory, mode, device;
    pid_t pid = 0;
    if (!(fields >> number >> kind) || kind == "->" ||
        !(fields >> advisory >> mode >> pid >> device))
      continue;
    // The inode alone: a file system's device number can read differently here (btrfs).
    unsigned long inode = 0;
    if (std::sscanf(device.c_str(), "%*x:%*x:%lu", &inode) != 1 || inode != file.st_ino ||
        pid <= 0 || pid == ::getpid()) // an open file description's lock shows no pid
      continue;
    const std::string holder = describeProcess(pid);
    if (holders.find(holder) == std::string::npos)
      holders += (holders.empty() ? "" : ", ") + holder;
  }
  return holders.empty() ? "another process" : holders;
}

void WriterLock::open(const std::string& hivePath) {
  hive_ = hivePath;
  path_ = hivePath + ".lock";
}

void WriterLock::close() {
  if (fd_ >= 0)
    ::close(fd_);
  fd_ = -1;
}

bool WriterLock::lock(std::string& message) {
  if (fd_ < 0 && !path_.empty()) {
    struct stat hive {};
    const mode_t mode = ::stat(hive_.c_str(), &hive) == 0 ? writersOnly(hive.st_mode) : 0600;
    fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, mode);
    struct stat lockFile {};
    // A lock file that others could open is narrowed to the writers, when it is ours.
    if (fd_ >= 0 && ::fstat(fd_, &lockFile) == 0 && lockFile.st_uid == ::geteuid() &&
        (lockFile.st_mode & 07777) != mode)
      ::fchmod(fd_, mode);
  }
  if (fd_ < 0)
    return true;
  if (lockWithin(fd_, lockWaitSeconds()))
    return true;
  message =
      "its writers' lock " + path_ + " is held by " + lockHolders(path_) + "; " + gaveUpText();
  return false;
}

void WriterLock::unlock() {
  if (fd_ >= 0)
    ::flock(fd_, LOCK_UN);
}

} // namespace dh::reg
