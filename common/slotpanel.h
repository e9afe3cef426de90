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
  void Layout(int linkCount, int panelHeight, int pitch);

  int Visible() const { return visible_; }
  int Offset() const { return offset_; }
  int LinkCount() const { return linkCount_; }
  bool SlotInUse(int slot) const { return slotInUse_[slot]; }
  bool ScrollUpInUse() const { return scrollUpInUse_; }
  bool ScrollDownInUse() const { return scrollDownInUse_; }
  // The link (index from 0) shown in a slot (from 0).
  int LinkOfSlot(int slot) const { return offset_ + slot; }

  // Records that the link in a shown slot was opened; returns its index.
  int Open(int slot);
  // Each moves by one link when the button is in use and there is a link to move to.
  bool ScrollDown();
  bool ScrollUp();
  // The slot of the link last opened, while that link is on show.
  std::optional<int> CheckedSlot() const;
  // Forgets the link last opened (a new scheme).
  void ForgetOpened() { opened_.reset(); }
  // Records that a link was opened by other means than its slot (history, say).
  void MarkOpened(int link) { opened_ = link; }

private:
  int linkCount_ = 0;
  int visible_ = 0;
  int offset_ = 0;
  std::optional<int> opened_;
  std::array<bool, kSlots> slotInUse_{};
  bool scrollUpInUse_ = false;
  bool scrollDownInUse_ = false;
};

} // namespace dh
