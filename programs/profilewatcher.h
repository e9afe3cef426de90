// Waits on its own thread for the session event that says the users' profiles were
// updated, and has the Programs page rebuilt on the page's thread for each signal, one
// rebuild at a time: a signal that comes during a rebuild stays pending on the event and
// gives one more rebuild after it.
#pragma once

#include <QObject>
#include <QPointer>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace dh::sync {
class NamedEvent;
class StopSignal;
} // namespace dh::sync

namespace dh::programs {

class ProfileWatcher {
public:
  ProfileWatcher();
  ~ProfileWatcher(); // stops

  // Starts watching the event by name (created when it does not exist yet); rebuild
  // runs on owner's thread while owner lives. False when the event cannot be opened:
  // the page then works without updates.
  bool Start(QObject* owner, std::function<void()> rebuild, const std::string& eventName);
  // Ends the thread at once, also while a rebuild is queued; never waits on the page.
  void Stop();
  bool running() const { return thread_.joinable(); }

private:
  void run();
  void rebuildDone();

  QPointer<QObject> owner_;
  std::function<void()> rebuild_;
  std::unique_ptr<dh::sync::NamedEvent> event_;
  std::unique_ptr<dh::sync::StopSignal> stop_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool stopping_ = false;
  bool rebuilding_ = false;
  std::thread thread_;
};

} // namespace dh::programs
