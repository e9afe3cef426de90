#include "sitebookctrl.h"

#include "dhvview.h"
#include "pagecommand.h"
#include "sitebookform.h"

#include <array>
#include <utility>

namespace {

// Page commands and the form buttons they press.
constexpr std::array<std::pair<int, int>, 16> kPresses = {{
    {61441, SitebookForm::kBack},
    {61442, SitebookForm::kForward},
    {61444, SitebookForm::kCopy},
    {61449, SitebookForm::kPrint},
    {61450, SitebookForm::kHelp},
    {61454, SitebookForm::kSideSwitch},
    {61456, SitebookForm::kRefresh},
    {61457, SitebookForm::kSlotIds[0]},
    {61458, SitebookForm::kSlotIds[1]},
    {61459, SitebookForm::kSlotIds[2]},
    {61460, SitebookForm::kSlotIds[3]},
    {61461, SitebookForm::kSlotIds[4]},
    {61462, SitebookForm::kSlotIds[5]},
    {61463, SitebookForm::kSlotIds[6]},
    {61464, SitebookForm::kScrollUp},
    {61465, SitebookForm::kScrollDown},
}};
constexpr int kTabCommand = 61455;
constexpr int kClassChangedCommand = 61467;

} // namespace

CSitebookCtrl::CSitebookCtrl(QWidget* parent) : QWidget(parent), form_(new SitebookForm(this)) {
  form_->setGeometry(rect());
}

bool CSitebookCtrl::event(QEvent* event) {
  const std::optional<int> command = dh::component::pageCommandOf(event);
  if (!command)
    return QWidget::event(event);
  // Accepted only when the command did something, so the shell can tell.
  event->setAccepted(OnCommand(*command));
  return true;
}

void CSitebookCtrl::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  form_->setGeometry(rect());
}

bool CSitebookCtrl::OnCommand(int command) {
  if (command == kTabCommand) {
    form_->View()->PressTab();
    return true;
  }
  if (command == kClassChangedCommand) {
    form_->Reload();
    return true;
  }
  for (const auto& [pageCommand, button] : kPresses) {
    if (pageCommand == command)
      return form_->Press(button);
  }
  return false;
}
