#include "files/folderwatch.h"

#include "platform/watch/filesystem.h"
#include "platform/watch/treewatcher.h"

#include <QTimer>

namespace dh::files {

FolderWatch::FolderWatch(std::function<std::string()> shown, QObject* parent)
    : QObject(parent), shown_(std::move(shown)), onShare_(dh::watch::onNetworkFileSystem),
      poll_(new QTimer(this)) {
  connect(poll_, &QTimer::timeout, this, [this] {
    if (onShare_(shown_()))
      emit changed({});
  });
  poll_->start(kSharePollMs);
}

FolderWatch::~FolderWatch() = default;

void FolderWatch::watch(const std::vector<dh::RootFolder>& roots) {
  stop();
  for (const dh::RootFolder& root : roots)
    watchTree(root.RootPath);
}

void FolderWatch::watchTree(const std::string& folder) {
  // Watching a share's tree would walk all of it over the network and still miss what
  // other machines change.
  if (watchers_.count(folder) || onShare_(folder))
    return;
  auto watcher = std::make_unique<dh::watch::TreeWatcher>(QByteArray::fromStdString(folder));
  connect(watcher.get(), &dh::watch::TreeWatcher::changed, this, &FolderWatch::changed);
  // A folder that cannot be watched is simply not watched.
  if (watcher->start())
    watchers_.emplace(folder, std::move(watcher));
}

void FolderWatch::stop() {
  watchers_.clear();
}

} // namespace dh::files
