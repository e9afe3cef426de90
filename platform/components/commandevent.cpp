#include "platform/components/commandevent.h"

#include <QCoreApplication>
#include <QWidget>

namespace dh::component {

bool sendCommand(QWidget* control, int command) {
  if (!control)
    return false;
  CommandEvent event(command);
  // Qt answers "handled" for every custom event; acceptance tells a control's answer.
  event.ignore();
  QCoreApplication::sendEvent(control, &event);
  return event.isAccepted();
}

std::optional<int> commandOf(const QEvent* event) {
  if (!event || event->type() != kCommandEvent)
    return std::nullopt;
  // static_cast, not dynamic_cast: the event may come from another library's copy of
  // this class, whose type information is not this one's.
  return static_cast<const CommandEvent*>(event)->command();
}

} // namespace dh::component
