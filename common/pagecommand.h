// The commands the shell sends to the control of the page on show (its keyboard
// shortcuts) and to every control after the pupil's class changed. The numbers are the
// contract between the shell and every page control; nothing else spells them out.
#pragma once

#include "platform/components/commandevent.h"

#include <optional>

namespace dh {

enum class PageCommand : int {
  Back = 61441,
  Forward = 61442,
  Up = 61443,
  Copy = 61444,
  Cut = 61445,
  Paste = 61446,
  Rename = 61447,
  Undo = 61448,
  Print = 61449,
  Help = 61450,
  NewFolder = 61451,
  IconSize = 61452,
  Delete = 61453,
  SidePanel = 61454,
  Tab = 61455,
  Refresh = 61456,
  SideButton1 = 61457, // ... SideButton7 = 61463, see sideButtonCommand
  ScrollUp = 61464,
  ScrollDown = 61465,
  ClassChanged = 61467,
  Open = 57345, // Enter: open or start the selected item
};

inline constexpr int kSideButtons = 7;

// The command of side-panel button index (0 to kSideButtons - 1).
constexpr PageCommand sideButtonCommand(int index) {
  return static_cast<PageCommand>(static_cast<int>(PageCommand::SideButton1) + index);
}

// Delivers command to control at once; false when the control did not act on it.
inline bool sendPageCommand(QWidget* control, PageCommand command) {
  return component::sendCommand(control, static_cast<int>(command));
}

// The page command an event carries, or nothing for other events.
inline std::optional<PageCommand> pageCommandOf(const QEvent* event) {
  const auto command = component::commandOf(event);
  return command ? std::optional(static_cast<PageCommand>(*command)) : std::nullopt;
}

} // namespace dh
