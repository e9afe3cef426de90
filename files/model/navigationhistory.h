// The folders the pupil has shown, shared by the form and all its views: one list of
// (folder, root) entries and the position of the entry on show (counted from 1).
#pragma once

#include <string>
#include <vector>

namespace dh::files {

class NavigationHistory {
public:
  struct Entry {
    std::string folder;
    int root = 0;
  };

  // Forgets everything and starts again with one entry.
  void start(const std::string& folder, int root);
  void clear();

  // Records a folder shown: nothing when it is the entry on show already; otherwise the
  // entries after the position are dropped and the folder becomes the last one.
  void record(const std::string& folder, int root);

  bool canGoBack() const { return position_ > 1; }
  bool canGoForward() const { return position_ < int(entries_.size()); }
  // Each moves the position by one where there is room and returns the entry then on
  // show; nothing happens otherwise (the entry returned is null).
  const Entry* back();
  const Entry* forward();

  int position() const { return position_; }
  const std::vector<Entry>& entries() const { return entries_; }

private:
  std::vector<Entry> entries_;
  int position_ = 0;
};

} // namespace dh::files
