#include "programs/programsctrl.h"

#include "programs/programsform.h"

#include <QListWidget>

#include <array>
#include <utility>

namespace dh::programs {

namespace {

using dh::PageCommand;
using dh::sideButtonCommand;

// Page commands and the form buttons they press.
constexpr std::array<CPageCtrl::Press, 12> kPresses = {{
    {PageCommand::Back, CProgramsForm::kBack},
    {PageCommand::Forward, CProgramsForm::kForward},
    {PageCommand::Help, CProgramsForm::kHelp},
    {sideButtonCommand(0), CProgramsForm::kSetButtonIds[0]},
    {sideButtonCommand(1), CProgramsForm::kSetButtonIds[1]},
    {sideButtonCommand(2), CProgramsForm::kSetButtonIds[2]},
    {sideButtonCommand(3), CProgramsForm::kSetButtonIds[3]},
    {sideButtonCommand(4), CProgramsForm::kSetButtonIds[4]},
    {sideButtonCommand(5), CProgramsForm::kSetButtonIds[5]},
    {sideButtonCommand(6), CProgramsForm::kSetButtonIds[6]},
    {PageCommand::ScrollUp, CProgramsForm::kScrollUp},
    {PageCommand::ScrollDown, CProgramsForm::kScrollDown},
}};

} // namespace

CProgramsCtrl::CProgramsCtrl(QWidget* parent) : CPageCtrl(parent), form_(new CProgramsForm(this)) {
  setForm(form_);
}

bool CProgramsCtrl::OnCommand(PageCommand command) {
  switch (command) {
  case PageCommand::Open:
    form_->launch();
    return true;
  case PageCommand::Tab:
    form_->list()->setFocus(Qt::TabFocusReason);
    return true;
  case PageCommand::ClassChanged:
    form_->reload();
    return true;
  default:
    break;
  }
  return CPageCtrl::OnCommand(command);
}

std::span<const CPageCtrl::Press> CProgramsCtrl::presses() const {
  return kPresses;
}

bool CProgramsCtrl::pressButton(int id) {
  return form_->press(id);
}

} // namespace dh::programs
