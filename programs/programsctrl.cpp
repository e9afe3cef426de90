#include "programs/programsctrl.h"

#include "programs/programsform.h"

#include <QListWidget>

#include <array>
#include <utility>

namespace dh::programs {

namespace {

using dh::component::PageCommand;
using dh::component::sideButtonCommand;

// Page commands and the form buttons they press.
constexpr std::array<std::pair<PageCommand, int>, 12> kPresses = {{
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

CProgramsCtrl::CProgramsCtrl(QWidget* parent) : QWidget(parent), form_(new CProgramsForm(this)) {
  form_->setGeometry(rect());
}

bool CProgramsCtrl::event(QEvent* event) {
  const std::optional<PageCommand> command = dh::component::pageCommandOf(event);
  if (!command)
    return QWidget::event(event);
  // Accepted only when the command did something, so the shell can tell.
  event->setAccepted(OnCommand(*command));
  return true;
}

void CProgramsCtrl::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  form_->setGeometry(rect());
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
  for (const auto& [pageCommand, button] : kPresses) {
    if (pageCommand == command)
      return form_->press(button);
  }
  return false;
}

} // namespace dh::programs
