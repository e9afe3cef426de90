#include "programs/programsctrl.h"

#include "programs/programsform.h"

#include <QListWidget>

#include <array>
#include <utility>

namespace dh::programs {

namespace {

// Page commands and the form buttons they press.
constexpr auto kPresses = withSideButtons(std::to_array<CPageCtrl::Press>({
                                              {PageCommand::Back, CProgramsForm::kBack},
                                              {PageCommand::Forward, CProgramsForm::kForward},
                                              {PageCommand::Help, CProgramsForm::kHelp},
                                              {PageCommand::ScrollUp, CProgramsForm::kScrollUp},
                                              {PageCommand::ScrollDown, CProgramsForm::kScrollDown},
                                          }),
                                          CProgramsForm::kSetButtonIds);

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

} // namespace dh::programs
