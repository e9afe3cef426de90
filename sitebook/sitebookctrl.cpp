#include "sitebook/sitebookctrl.h"

#include "platform/components/pagecommand.h"
#include "sitebook/dhvview.h"
#include "sitebook/sitebookform.h"

#include <array>
#include <utility>

namespace dh::sitebook {

namespace {

using dh::component::PageCommand;
using dh::component::sideButtonCommand;

// Page commands and the form buttons they press.
constexpr std::array<std::pair<PageCommand, int>, 16> kPresses = {{
    {PageCommand::Back, SitebookForm::kBack},
    {PageCommand::Forward, SitebookForm::kForward},
    {PageCommand::Copy, SitebookForm::kCopy},
    {PageCommand::Print, SitebookForm::kPrint},
    {PageCommand::Help, SitebookForm::kHelp},
    {PageCommand::SidePanel, SitebookForm::kSideSwitch},
    {PageCommand::Refresh, SitebookForm::kRefresh},
    {sideButtonCommand(0), SitebookForm::kSlotIds[0]},
    {sideButtonCommand(1), SitebookForm::kSlotIds[1]},
    {sideButtonCommand(2), SitebookForm::kSlotIds[2]},
    {sideButtonCommand(3), SitebookForm::kSlotIds[3]},
    {sideButtonCommand(4), SitebookForm::kSlotIds[4]},
    {sideButtonCommand(5), SitebookForm::kSlotIds[5]},
    {sideButtonCommand(6), SitebookForm::kSlotIds[6]},
    {PageCommand::ScrollUp, SitebookForm::kScrollUp},
    {PageCommand::ScrollDown, SitebookForm::kScrollDown},
}};

} // namespace

CSitebookCtrl::CSitebookCtrl(QWidget* parent) : QWidget(parent), form_(new SitebookForm(this)) {
  form_->setGeometry(rect());
}

bool CSitebookCtrl::event(QEvent* event) {
  const std::optional<PageCommand> command = dh::component::pageCommandOf(event);
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

bool CSitebookCtrl::OnCommand(PageCommand command) {
  if (command == PageCommand::Tab) {
    form_->View()->pressTab();
    return true;
  }
  if (command == PageCommand::ClassChanged) {
    form_->reload();
    return true;
  }
  for (const auto& [pageCommand, button] : kPresses) {
    if (pageCommand == command)
      return form_->press(button);
  }
  return false;
}

} // namespace dh::sitebook
