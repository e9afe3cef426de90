#include "programs/profilewatcher.h"

#include "platform/sync/namedevent.h"

#include <QMetaObject>

namespace dh::programs {

ProfileWatcher::ProfileWatcher() = default;

ProfileWatcher::~ProfileWatcher() {
  Stop();
}

bool ProfileWatcher::Start(QObject* owner, std::function<void()> rebuild,
                           const std::string& eventName) {
  Stop();
  event_ = dh::sync::NamedEvent::open(eventName);
  if (!event_)
    return false;
  owner_ = owner;
  rebuild_ = std::move(rebuild);
  stop_ = std::make_unique<dh::sync::StopSignal>();
  stopping_ = false;
  rebuilding_ = false;
  thread_ = std::thread(&ProfileWatcher::run, this);
  return true;
}

void ProfileWatcher::Stop() {
  if (!thread_.joinable())
    return;
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  stop_->raise();
  changed_.notify_all();
  thread_.join();
  event_.reset();
}

void ProfileWatcher::run() {
  while (event_->wait(*stop_) == dh::sync::NamedEvent::Wake::Signalled) {
    std::unique_lock lock(mutex_);
    if (stopping_)
      return;
    rebuilding_ = true;
    // Queued to the owner: dropped with it, so a page that goes away never runs it.
    QMetaObject::invokeMethod(
        owner_.data(),
        [this] {
          rebuild_();
          rebuildDone();
        },
        Qt::QueuedConnection);
    // The next wait starts only after the rebuild, so signals during it count once.
    changed_.wait(lock, [this] { return stopping_ || !rebuilding_; });
    if (stopping_)
      return;
  }
}

void ProfileWatcher::rebuildDone() {
  {
    const std::lock_guard lock(mutex_);
    rebuilding_ = false;
  }
  changed_.notify_all();
}

} // namespace dh::programs
