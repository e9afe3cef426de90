#include "files/model/navigationhistory.h"

namespace dh::files {

void NavigationHistory::Start(const std::string& folder, int root) {
  entries_ = {{folder, root}};
  position_ = 1;
}

void NavigationHistory::Clear() {
  entries_.clear();
  position_ = 0;
}

void NavigationHistory::Record(const std::string& folder, int root) {
  // Paths compare as the file system does: exactly. The entry on show is the one
  // compared, not the last: after Back, the folder that was last is a new step.
  if (position_ > 0 && entries_[position_ - 1].folder == folder)
    return;
  if (int(entries_.size()) > position_)
    entries_.resize(position_);
  entries_.push_back({folder, root});
  position_ = int(entries_.size());
}

const NavigationHistory::Entry* NavigationHistory::Back() {
  if (!CanGoBack())
    return nullptr;
  --position_;
  return &entries_[position_ - 1];
}

const NavigationHistory::Entry* NavigationHistory::Forward() {
  if (!CanGoForward())
    return nullptr;
  ++position_;
  return &entries_[position_ - 1];
}

} // namespace dh::files
