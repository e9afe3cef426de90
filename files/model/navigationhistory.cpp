#include "files/model/navigationhistory.h"

namespace dh::files {

void NavigationHistory::start(const std::string& folder, int root) {
  entries_ = {{folder, root}};
  position_ = 1;
}

void NavigationHistory::clear() {
  entries_.clear();
  position_ = 0;
}

void NavigationHistory::record(const std::string& folder, int root) {
  // Paths compare as the file system does: exactly. The entry on show is the one
  // compared, not the last: after Back, the folder that was last is a new step.
  if (position_ > 0 && entries_[position_ - 1].folder == folder)
    return;
  if (int(entries_.size()) > position_)
    entries_.resize(position_);
  entries_.push_back({folder, root});
  position_ = int(entries_.size());
}

const NavigationHistory::Entry* NavigationHistory::back() {
  if (!canGoBack())
    return nullptr;
  --position_;
  return &entries_[position_ - 1];
}

const NavigationHistory::Entry* NavigationHistory::forward() {
  if (!canGoForward())
    return nullptr;
  ++position_;
  return &entries_[position_ - 1];
}

} // namespace dh::files
