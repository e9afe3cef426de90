#include "sitebook/sitebookctrl.h"

#include "common/pagecommand.h"
#include "sitebook/dhvview.h"
#include "sitebook/sitebookform.h"

#include <array>
#include <utility>

namespace dh::sitebook {

namespace {

using dh::PageCommand;
using dh::sideButtonCommand;

// Page commands and the form buttons they press.
constexpr std::array<CPageCtrl::Press, 16> kPresses = {{
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

CSitebookCtrl::CSitebookCtrl(QWidget* parent) : CPageCtrl(parent), form_(new SitebookForm(this)) {
  setForm(form_);
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
  return CPageCtrl::OnCommand(command);
}

std::span<const CPageCtrl::Press> CSitebookCtrl::presses() const {
  return kPresses;
}

bool CSitebookCtrl::pressButton(int id) {
  return form_->press(id);
}

} // namespace dh::sitebook
