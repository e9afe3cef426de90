#include "common/slotpanel.h"

#include <algorithm>

namespace dh {

void SlotPanel::layout(int linkCount, int panelHeight, int pitch) {
  linkCount_ = std::max(linkCount, 0);
  offset_ = 0;
  fit(panelHeight, pitch);
}

void SlotPanel::fit(int panelHeight, int pitch) {
  const int room = pitch > 0 ? std::clamp(panelHeight / pitch, 0, kSlots) : 0;
  visible_ = std::min(room, linkCount_);
  offset_ = std::clamp(offset_, 0, linkCount_ - visible_);
  // Slots beyond the visible ones are out of use whether the links or the room ran out,
  // so showing the side panel again never brings back a slot that has no place.
  for (int slot = 0; slot < kSlots; ++slot)
    slotInUse_[slot] = slot < visible_;
  scrollUpInUse_ = offset_ > 0;
  scrollDownInUse_ = offset_ + visible_ < linkCount_;
}

int SlotPanel::open(int slot) {
  opened_ = linkOfSlot(slot);
  ticked_ = opened_;
  return *opened_;
}

bool SlotPanel::scrollDown() {
  if (!scrollDownInUse_ || offset_ + visible_ >= linkCount_)
    return false;
  ++offset_;
  if (offset_ + visible_ == linkCount_)
    scrollDownInUse_ = false;
  scrollUpInUse_ = true;
  ticked_ = opened_;
  return true;
}

bool SlotPanel::scrollUp() {
  if (!scrollUpInUse_ || offset_ <= 0)
    return false;
  --offset_;
  if (offset_ == 0)
    scrollUpInUse_ = false;
  scrollDownInUse_ = true;
  ticked_ = opened_;
  return true;
}

std::optional<int> SlotPanel::checkedSlot() const {
  if (!ticked_)
    return std::nullopt;
  const int slot = *ticked_ - offset_;
  if (slot < 0 || slot >= visible_)
    return std::nullopt;
  return slot;
}

} // namespace dh
