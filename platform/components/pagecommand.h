// Commands a host sends to a control window (the numeric ids of menu and accelerator
// commands), delivered synchronously: sendPageCommand returns after the control has
// handled it. A control receives them by installing a handler with onPageCommand, or
// in its own event() through pageCommandOf, accepting the event it handles.
#pragma once

#include <QEvent>

#include <functional>
#include <optional>

class QObject;
class QWidget;

namespace dh::component {

// The commands a shell sends to the control of the page on show (its keyboard shortcuts)
// and to every control after the pupil's class changed. The numbers are the contract
// between the shell and every page control; nothing else spells them out.
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

// A fixed event type rather than a registered one: host and control each carry their
// own copy of this code, and both must agree on the number.
inline constexpr QEvent::Type kPageCommandEvent = static_cast<QEvent::Type>(QEvent::User + 0x111);

class PageCommandEvent : public QEvent {
public:
  explicit PageCommandEvent(PageCommand command) : QEvent(kPageCommandEvent), command_(command) {}
  PageCommand command() const { return command_; }
  PageCommandEvent* clone() const override { return new PageCommandEvent(*this); }

private:
  PageCommand command_;
};

// Delivers command to control at once. False when there is no control or it did not
// accept the command.
bool sendPageCommand(QWidget* control, PageCommand command);

// The command an event carries, or nothing for other events.
std::optional<PageCommand> pageCommandOf(const QEvent* event);

// Calls handler for each command that reaches control, for as long as control lives.
void onPageCommand(QWidget* control, std::function<void(PageCommand command)> handler);

} // namespace dh::component
