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

// A fixed event type rather than a registered one: host and control each carry their
// own copy of this code, and both must agree on the number.
inline constexpr QEvent::Type kPageCommandEvent = static_cast<QEvent::Type>(QEvent::User + 0x111);

class PageCommandEvent : public QEvent {
public:
  explicit PageCommandEvent(int command) : QEvent(kPageCommandEvent), command_(command) {}
  int command() const { return command_; }
  PageCommandEvent* clone() const override { return new PageCommandEvent(*this); }

private:
  int command_;
};

// Delivers command to control at once. False when there is no control or it did not
// accept the command.
bool sendPageCommand(QWidget* control, int command);

// The command an event carries, or nothing for other events.
std::optional<int> pageCommandOf(const QEvent* event);

// Calls handler for each command that reaches control, for as long as control lives.
void onPageCommand(QWidget* control, std::function<void(int command)> handler);

} // namespace dh::component
