// Watches a folder and every folder below it for entries that appear, vanish, are renamed
// or written. A thread of its own waits on the kernel's notifications and only posts to
// the thread that made the watcher; every signal arrives there.
#pragma once

#include <QByteArray>
#include <QObject>

#include <memory>
#include <thread>

namespace dh::watch {

class TreeWatcher : public QObject {
  Q_OBJECT

public:
  // The most folders one watcher takes on: a tree larger than this (or one that a
  // bind mount makes endless) is watched only in part rather than exhausting the
  // user's share of watches.
  static constexpr int kMostFolders = 4096;
  // Notifications that follow each other this closely are reported as one.
  static constexpr int kQuietMs = 20;

  // root is a path as the file system spells it (bytes, any encoding).
  explicit TreeWatcher(QByteArray root, QObject* parent = nullptr);
  ~TreeWatcher() override;

  // Once started, the folder the root leads to (symbolic links resolved): the folders
  // that changed() reports are below it.
  const QByteArray& root() const { return root_; }
  // Starts watching: every change from its return on is reported. False when the root
  // cannot be watched (then nothing is reported).
  bool start();
  void stop();
  bool running() const { return thread_.joinable(); }

signals:
  // Something changed in folder (a path below or at the root). An empty folder means
  // the kernel's queue overflowed: anything under the root may have changed.
  void changed(const QByteArray& folder);

private:
  class Watches;
  void run();

  QByteArray root_;
  int notify_ = -1;
  int wake_ = -1;
  std::unique_ptr<Watches> watches_;
  std::thread thread_;
};

} // namespace dh::watch
