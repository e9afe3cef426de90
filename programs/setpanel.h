// The state of the Programs page's side panel: which sets the seven set buttons show
// (a slot panel whose ticked item is the set listed), and the history of the sets viewed
// that Back and Forward walk through. Knows no widgets: the form applies it.
#pragma once

#include "common/slotpanel.h"

#include <optional>
#include <vector>

namespace dh::programs {

class SetPanel {
public:
  static constexpr int kButtons = dh::SlotPanel::kSlots;

  // Lays the panel out for setCount sets in a panel of the given height with one button
  // every pitch pixels, scrolls to the first set, shows set 0 and starts a new history.
  void reset(int setCount, int panelHeight, int pitch);
  // Fits the buttons to a new panel height, keeping the current set and the history.
  void fit(int panelHeight, int pitch) { slots_.fit(panelHeight, pitch); }

  // Each returns the set to show now, or nothing when the press changes no set (a hidden
  // button, the set already shown, nothing to go back or forward to).
  std::optional<int> choose(int button);
  std::optional<int> back();
  std::optional<int> forward();
  // Each moves the buttons by one set when its scroll button is in use.
  bool scrollUp() { return slots_.scrollUp(); }
  bool scrollDown() { return slots_.scrollDown(); }

  int setCount() const { return slots_.linkCount(); }
  int visibleButtons() const { return slots_.visible(); }
  int firstVisibleSet() const { return slots_.offset(); }
  int currentSet() const { return current_; }
  const std::vector<int>& history() const { return history_; }
  int historyPos() const { return historyPos_; }
  bool canGoBack() const { return canBack_; }
  bool canGoForward() const { return canForward_; }
  bool scrollUpInUse() const { return slots_.scrollUpInUse(); }
  bool scrollDownInUse() const { return slots_.scrollDownInUse(); }
  // The set a used button shows.
  int setOfButton(int button) const { return slots_.linkOfSlot(button); }
  // The button that shows the current set, while one does.
  std::optional<int> checkedButton() const { return slots_.checkedSlot(); }

private:
  int show(int set);

  dh::SlotPanel slots_;
  int current_ = 0;
  std::vector<int> history_{0};
  int historyPos_ = 0;
  bool canBack_ = false;
  bool canForward_ = false;
};

} // namespace dh::programs
