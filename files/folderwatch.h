// How My Files hears of changes on disk: a watcher of its own for each root on this
// machine, and a look now and then at the folder on show when it lies on a network share,
// whose other machines' changes no notification ever reports.
#pragma once

#include "common/scheme.h"

#include <QByteArray>
#include <QObject>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QTimer;

namespace dh::watch {
class TreeWatcher;
}

namespace dh::files {

class FolderWatch : public QObject {
  Q_OBJECT

public:
  // How often a folder on show that lies on a share is looked at again.
  static constexpr int kSharePollMs = 5000;

  // shown says which folder is on show now.
  explicit FolderWatch(std::function<std::string()> shown, QObject* parent = nullptr);
  ~FolderWatch() override;

  // Watches roots (those on shares are polled instead), instead of any watched before.
  void watch(const std::vector<dh::RootFolder>& roots);
  // Watches also the tree below folder (a shortcut's target outside every root) until the
  // next watch or stop; a tree watched already, or on a share, is left as it is.
  void watchTree(const std::string& folder);
  void stop();
  int count() const { return int(watchers_.size()); }
  // Which folders lie on a share, as the file system says; tests stand a local folder
  // in. Taken at the next watch.
  void judgeShares(std::function<bool(const std::string&)> onShare) {
    onShare_ = std::move(onShare);
  }

signals:
  // Something changed in folder (empty: anywhere).
  void changed(const QByteArray& folder);

private:
  std::function<std::string()> shown_;
  std::function<bool(const std::string&)> onShare_;
  // Keyed by the folder at the top of the tree watched.
  std::map<std::string, std::unique_ptr<dh::watch::TreeWatcher>> watchers_;
  QTimer* poll_ = nullptr;
};

} // namespace dh::files
