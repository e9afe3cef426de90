#include "sitebook/navigationrecord.h"

namespace dh::sitebook {

void NavigationRecord::reset(const QString& startPage) {
  startPage_ = startPage;
  visited_.clear();
  backSteps_ = 0;
  backEnabled_ = false;
  forwardEnabled_ = false;
}

void NavigationRecord::completed(const QString& address, bool canGoBack, bool canGoForward) {
  current_ = address;
  if (!visited_.contains(address, Qt::CaseInsensitive) || !canGoForward)
    forwardEnabled_ = false;
  if (!canGoBack)
    backEnabled_ = false;
  visited_.append(address);
}

void NavigationRecord::back() {
  // The browser goes back later; the current address is still the page on which Back was
  // pressed, so Back switches off when it is pressed on the start page.
  if (current_.compare(startPage_, Qt::CaseInsensitive) == 0)
    backEnabled_ = false;
  ++backSteps_;
  forwardEnabled_ = true;
}

void NavigationRecord::forward() {
  backEnabled_ = true;
  --backSteps_;
  if (backSteps_ == 1)
    forwardEnabled_ = false;
}

} // namespace dh::sitebook
