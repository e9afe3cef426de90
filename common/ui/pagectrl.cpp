#include "common/ui/pagectrl.h"

#include "common/ui/pageform.h"

namespace dh {

void CPageCtrl::setForm(CPageForm* form) {
  form_ = form;
  form_->setGeometry(rect());
}

bool CPageCtrl::OnCommand(PageCommand command) {
  for (const auto& [pageCommand, button] : presses())
    if (pageCommand == command)
      return form_->press(button);
  return false;
}

bool CPageCtrl::event(QEvent* event) {
  const auto command = pageCommandOf(event);
  if (!command)
    return QWidget::event(event);
  event->setAccepted(OnCommand(*command));
  return true;
}

void CPageCtrl::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (form_)
    form_->setGeometry(rect());
}

} // namespace dh
