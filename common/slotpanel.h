// Which items (web links, roots) a side panel's seven slots show, which slots and scroll
// buttons are in use, and which slot carries the check mark of the item last opened.
// Knows no widgets: the form applies it to its buttons.
#pragma once

#include <array>
#include <optional>

namespace dh {

class SlotPanel {
public:
  static constexpr int kSlots = 7;

  // Lays the panel out for linkCount links in a panel of the given height, with one
  // slot every pitch pixels, and scrolls back to the first link.
  void layout(int linkCount, int panelHeight, int pitch);
  // Fits the same links to a panel of a new height: the panel stays scrolled where it
  // was, unless more room leaves nothing below the last link.
  void fit(int panelHeight, int pitch);

  int visible() const { return visible_; }
  int offset() const { return offset_; }
  int linkCount() const { return linkCount_; }
  bool slotInUse(int slot) const { return slotInUse_[slot]; }
  bool scrollUpInUse() const { return scrollUpInUse_; }
  bool scrollDownInUse() const { return scrollDownInUse_; }
  // The link (index from 0) shown in a slot (from 0).
  int linkOfSlot(int slot) const { return offset_ + slot; }

  // Records that the link in a shown slot was opened and ticks it; returns its index.
  int open(int slot);
  // Each moves by one link when the button is in use and there is a link to move to;
  // the tick goes back to the link last opened.
  bool scrollDown();
  bool scrollUp();
  // The slot of the ticked link, while that link is on show.
  std::optional<int> checkedSlot() const;
  // No link is ticked (the browser has gone back or forward); the link last opened is
  // still known.
  void clearTick() { ticked_.reset(); }
  // Forgets the link last opened (a new scheme).
  void forgetOpened() {
    opened_.reset();
    ticked_.reset();
  }
  // Records that a link was opened by other means than its slot (history, say).
  void markOpened(int link) { opened_ = ticked_ = link; }

private:
  int linkCount_ = 0;
  int visible_ = 0;
  int offset_ = 0;
  std::optional<int> opened_;
  std::optional<int> ticked_;
  std::array<bool, kSlots> slotInUse_{};
  bool scrollUpInUse_ = false;
  bool scrollDownInUse_ = false;
};

} // namespace dh
