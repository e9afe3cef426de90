// Commands a host sends to a control window by number, delivered synchronously:
// sendCommand returns after the control has handled it. A control takes them in its own
// event() through commandOf, accepting the event when the command did something.
#pragma once

#include <QEvent>

#include <optional>

class QWidget;

namespace dh::component {

// A fixed event type rather than a registered one: host and control each carry their
// own copy of this code, and both must agree on the number.
inline constexpr QEvent::Type kCommandEvent = static_cast<QEvent::Type>(QEvent::User + 0x111);

class CommandEvent : public QEvent {
public:
  explicit CommandEvent(int command) : QEvent(kCommandEvent), command_(command) {}
  int command() const { return command_; }
  CommandEvent* clone() const override { return new CommandEvent(*this); }

private:
  int command_;
};

// Delivers command to control at once. False when there is no control or it did not
// accept the command.
bool sendCommand(QWidget* control, int command);

// The command an event carries, or nothing for other events.
std::optional<int> commandOf(const QEvent* event);

} // namespace dh::component
