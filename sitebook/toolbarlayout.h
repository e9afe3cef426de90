// Where the tool bar's optional items go: Copy, Print and the side panel switch, each
// with the separator before it, close up to the left in the order of their places, and
// Help with its separator follows them. Back, Forward and Refresh never move.
#pragma once

#include "common/scheme.h"

#include <array>

namespace dh::sitebook {

// The movable items, in the left-to-right order of the places they start in.
enum ToolBarItem {
  CopySeparator,
  CopyButton,
  PrintSeparator,
  PrintButton,
  SideSeparator,
  SideButton,
  HelpSeparator,
  HelpButton,
  kToolBarItems
};

// For each item, the index of the place it takes, or -1 when it is hidden.
using ToolBarPlaces = std::array<int, kToolBarItems>;

ToolBarPlaces layOutToolBar(const dh::ToolBarPage& flags);

} // namespace dh::sitebook
