#include "programs/setpanel.h"

namespace dh::programs {

void SetPanel::reset(int setCount, int panelHeight, int pitch) {
  slots_.layout(setCount, panelHeight, pitch);
  slots_.forgetOpened();
  if (slots_.linkCount() > 0)
    slots_.markOpened(0);
  current_ = 0;
  history_.assign(1, 0);
  historyPos_ = 0;
  canBack_ = canForward_ = false;
}

int SetPanel::show(int set) {
  slots_.markOpened(set);
  return current_ = set;
}

std::optional<int> SetPanel::choose(int button) {
  if (button < 0 || button >= visibleButtons())
    return std::nullopt;
  const int set = setOfButton(button);
  if (set == current_)
    return std::nullopt;
  // A new choice after going back drops the sets that Forward would have shown.
  if (historyPos_ + 1 < int(history_.size())) {
    history_.resize(historyPos_ + 1);
    canForward_ = false;
  }
  history_.push_back(set);
  ++historyPos_;
  canBack_ = true;
  return show(set);
}

std::optional<int> SetPanel::back() {
  if (!canBack_ || historyPos_ == 0)
    return std::nullopt;
  --historyPos_;
  canBack_ = historyPos_ > 0;
  canForward_ = true;
  return show(history_[historyPos_]);
}

std::optional<int> SetPanel::forward() {
  if (!canForward_ || historyPos_ + 1 >= int(history_.size()))
    return std::nullopt;
  ++historyPos_;
  canForward_ = historyPos_ + 1 < int(history_.size());
  canBack_ = true;
  return show(history_[historyPos_]);
}

} // namespace dh::programs
