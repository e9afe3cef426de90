// A named auto-reset event shared by the processes of one user session. A signal wakes
// one waiter; a signal that comes while nobody waits stays pending until someone does;
// signals that come before it is taken count as one.
//
// The event is a small file in the session's runtime directory holding "1" while it is
// signalled; waiters sleep on an inotify watch of that directory. Every change of the
// state happens under flock, so exactly one waiter takes each signal.
#pragma once

#include "platform/sync/runtimedir.h"

#include <memory>
#include <string>

namespace dh::sync {

// Lets another thread end a wait() at once. Once raised it stays raised.
class StopSignal {
public:
  StopSignal();
  ~StopSignal();
  StopSignal(const StopSignal&) = delete;
  StopSignal& operator=(const StopSignal&) = delete;

  void raise();
  int descriptor() const { return fd_; }

private:
  int fd_;
};

class NamedEvent {
public:
  enum class Wake { Signalled, Stopped, Failed };

  // Opens the event, creating it unsignalled when it does not exist yet; null when the
  // name is not a name or the runtime directory cannot be used.
  static std::unique_ptr<NamedEvent> open(const std::string& name,
                                          const SessionPlace& place = ownSession());
  ~NamedEvent();
  NamedEvent(const NamedEvent&) = delete;
  NamedEvent& operator=(const NamedEvent&) = delete;

  // Takes a pending signal, if there is one.
  bool tryWait();
  // Sleeps until a signal is taken or stop is raised.
  Wake wait(const StopSignal& stop);

private:
  NamedEvent(std::string folder, std::string file, int notify);

  std::string folder_;
  std::string file_;
  int notify_;
};

// Signals the event by name (creating it signalled when missing), as any process of the
// session or an administrator for that session may. False when it could not be written.
bool setEvent(const std::string& name, const SessionPlace& place = ownSession());

} // namespace dh::sync
