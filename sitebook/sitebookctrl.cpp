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
                                              {PageCommand::Back, CSitebookForm::kBack},
                                              {PageCommand::Forward, CSitebookForm::kForward},
                                              {PageCommand::Copy, CSitebookForm::kCopy},
                                              {PageCommand::Print, CSitebookForm::kPrint},
                                              {PageCommand::Help, CSitebookForm::kHelp},
                                              {PageCommand::SidePanel, CSitebookForm::kSideSwitch},
                                              {PageCommand::Refresh, CSitebookForm::kRefresh},
                                              {PageCommand::ScrollUp, CSitebookForm::kScrollUp},
                                              {PageCommand::ScrollDown, CSitebookForm::kScrollDown},
                                          }),
                                          CSitebookForm::kSlotIds);

} // namespace

CSitebookCtrl::CSitebookCtrl(QWidget* parent) : CPageCtrl(parent), form_(new CSitebookForm(this)) {
  setForm(form_);
}

bool CSitebookCtrl::OnCommand(PageCommand command) {
  if (command == PageCommand::Tab) {
    form_->view()->pressTab();
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

} // namespace dh::sitebook
