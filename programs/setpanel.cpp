#include "programs/setpanel.h"

namespace dh::programs {

void SetPanel::Reset(int setCount, int panelHeight, int pitch) {
  slots_.Layout(setCount, panelHeight, pitch);
  slots_.ForgetOpened();
  if (slots_.LinkCount() > 0)
    slots_.MarkOpened(0);
  current_ = 0;
  history_.assign(1, 0);
  historyPos_ = 0;
  canBack_ = canForward_ = false;
}

int SetPanel::Show(int set) {
  slots_.MarkOpened(set);
  return current_ = set;
}

std::optional<int> SetPanel::choose(int button) {
  if (button < 0 || button >= VisibleButtons())
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
  return Show(set);
}

std::optional<int> SetPanel::Back() {
  if (!canBack_ || historyPos_ == 0)
    return std::nullopt;
  --historyPos_;
  canBack_ = historyPos_ > 0;
  canForward_ = true;
  return Show(history_[historyPos_]);
}

std::optional<int> SetPanel::Forward() {
  if (!canForward_ || historyPos_ + 1 >= int(history_.size()))
    return std::nullopt;
  ++historyPos_;
  canForward_ = historyPos_ + 1 < int(history_.size());
  canBack_ = true;
  return Show(history_[historyPos_]);
}

} // namespace dh::programs
