// Where the My Files tool bar's buttons and separators go: hidden buttons leave no gap,
// the first button shown takes Back's place, buttons of one group stand side by side and
// a separator stands between groups.
#pragma once

#include "common/scheme.h"

#include <QRect>

#include <array>
#include <optional>

namespace dh::files {

inline constexpr int kToolBarButtons = 14;
inline constexpr int kToolBarSeparators = 5;

// The buttons in tool-bar order: Back, Forward, Up, New Folder, Rename, Cut, Copy, Paste,
// Delete, Undo, Print, View, Icon size, Help.
inline constexpr std::array<int, kToolBarButtons> kButtonGroups = {1, 1, 1, 2, 2, 3, 3,
                                                                   3, 3, 3, 4, 5, 5, 6};

struct ToolBarPlaces {
  std::array<std::optional<QRect>, kToolBarButtons> buttons; // nothing: hidden
  std::array<std::optional<QRect>, kToolBarSeparators> separators;
};

// The flags of the tool bar's page in tool-bar order.
std::array<bool, kToolBarButtons> toolBarFlags(const dh::ToolBarPage& page);

// Places the shown buttons from Back's place: the next button of a group 29 pixels
// right of the one before; a new group after a separator 6 pixels right of the button
// before (2 pixels wide), the button 6 pixels right of the separator and 28 wide.
ToolBarPlaces layOutToolBar(const std::array<bool, kToolBarButtons>& shown, QRect back,
                            int separatorTop, int separatorHeight);

} // namespace dh::files
