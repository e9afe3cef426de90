#include "platform/components/pagecommand.h"

#include <QCoreApplication>
#include <QWidget>

namespace dh::component {

namespace {

// Owned by the control it watches, so it goes when the control goes.
class PageCommandFilter : public QObject {
public:
  PageCommandFilter(QWidget* control, std::function<void(PageCommand)> handler)
      : QObject(control), handler_(std::move(handler)) {
    control->installEventFilter(this);
  }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (auto command = pageCommandOf(event); command && watched == parent()) {
      handler_(*command);
      event->accept();
      return true;
    }
    return false;
  }

private:
  std::function<void(PageCommand)> handler_;
};

} // namespace

bool sendPageCommand(QWidget* control, PageCommand command) {
  if (!control)
    return false;
  PageCommandEvent event(command);
  // Qt answers "handled" for every custom event; acceptance tells a control's answer.
  event.ignore();
  QCoreApplication::sendEvent(control, &event);
  return event.isAccepted();
}

std::optional<PageCommand> pageCommandOf(const QEvent* event) {
  if (!event || event->type() != kPageCommandEvent)
    return std::nullopt;
  // static_cast, not dynamic_cast: the event may come from another library's copy of
  // this class, whose type information is not this one's.
  return static_cast<const PageCommandEvent*>(event)->command();
}

void onPageCommand(QWidget* control, std::function<void(PageCommand command)> handler) {
  if (control && handler)
    new PageCommandFilter(control, std::move(handler));
}

} // namespace dh::component
