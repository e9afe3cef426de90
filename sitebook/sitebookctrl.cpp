#include "sitebook/sitebookctrl.h"

#include "common/pagecommand.h"
#include "sitebook/dhvview.h"
#include "sitebook/sitebookform.h"

#include <array>
#include <utility>

namespace dh::sitebook {

namespace {

// Page commands and the form buttons they press.
constexpr auto kPresses = withSideButtons(std::to_array<CPageCtrl::Press>({
                                              {PageCommand::Back, SitebookForm::kBack},
                                              {PageCommand::Forward, SitebookForm::kForward},
                                              {PageCommand::Copy, SitebookForm::kCopy},
                                              {PageCommand::Print, SitebookForm::kPrint},
                                              {PageCommand::Help, SitebookForm::kHelp},
                                              {PageCommand::SidePanel, SitebookForm::kSideSwitch},
                                              {PageCommand::Refresh, SitebookForm::kRefresh},
                                              {PageCommand::ScrollUp, SitebookForm::kScrollUp},
                                              {PageCommand::ScrollDown, SitebookForm::kScrollDown},
                                          }),
                                          SitebookForm::kSlotIds);

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
