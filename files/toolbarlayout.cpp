#include "files/toolbarlayout.h"

namespace dh::files {

namespace {
constexpr int kGroupStep = 29;
constexpr int kSeparatorGap = 6;
constexpr int kSeparatorWidth = 2;
constexpr int kButtonWidth = 28;
} // namespace

std::array<bool, kToolBarButtons> toolBarFlags(const dh::ToolBarPage& page) {
  return {page.Back != 0,  page.Forward != 0, page.Up != 0,    page.New != 0,    page.Rename != 0,
          page.Cut != 0,   page.Copy != 0,    page.Paste != 0, page.Delete != 0, page.Undo != 0,
          page.Print != 0, page.View != 0,    page.Icon != 0,  page.Help != 0};
}

ToolBarPlaces layOutToolBar(const std::array<bool, kToolBarButtons>& shown, QRect back,
                            int separatorTop, int separatorHeight) {
  ToolBarPlaces places;
  int previous = -1;
  int separators = 0;
  for (int button = 0; button < kToolBarButtons; ++button) {
    if (!shown[button])
      continue;
    if (previous < 0) {
      places.buttons[button] = back;
    } else {
      const QRect before = *places.buttons[previous];
      if (kButtonGroups[button] == kButtonGroups[previous]) {
        places.buttons[button] = before.translated(kGroupStep, 0);
      } else {
        const QRect separator(before.right() + 1 + kSeparatorGap, separatorTop, kSeparatorWidth,
                              separatorHeight);
        places.separators[separators++] = separator;
        places.buttons[button] =
            QRect(separator.left() + kSeparatorGap, before.top(), kButtonWidth, before.height());
      }
    }
    previous = button;
  }
  return places;
}

} // namespace dh::files
