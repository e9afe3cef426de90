#include "files/filesctrl.h"

#include "files/filesform.h"
#include "files/views/folderlistview.h"

#include <array>
#include <utility>

namespace dh::files {

namespace {

// Page commands and the buttons they press.
constexpr auto kPresses =
    withSideButtons(std::to_array<CPageCtrl::Press>({
                        {PageCommand::Back, CFilesForm::kBack},
                        {PageCommand::Forward, CFilesForm::kForward},
                        {PageCommand::Up, CFilesForm::kUp},
                        {PageCommand::Copy, CFilesForm::kCopy},
                        {PageCommand::Cut, CFilesForm::kCut},
                        {PageCommand::Paste, CFilesForm::kPaste},
                        {PageCommand::Rename, CFilesForm::kRename},
                        {PageCommand::Undo, CFilesForm::kUndo},
                        {PageCommand::Print, CFilesForm::kPrint},
                        {PageCommand::Help, CFilesForm::kHelp},
                        {PageCommand::NewFolder, CFilesForm::kNewFolder},
                        {PageCommand::IconSize, CFilesForm::kIconSize},
                        {PageCommand::Delete, CFilesForm::kDelete},
                        {PageCommand::ScrollUp, CFolderListView::kScrollUp},
                        {PageCommand::ScrollDown, CFolderListView::kScrollDown},
                    }),
                    CFolderListView::kSlotIds);

} // namespace

CFilesCtrl::CFilesCtrl(QWidget* parent) : CPageCtrl(parent), form_(new CFilesForm(this)) {
  setForm(form_);
}

bool CFilesCtrl::OnCommand(PageCommand command) {
  switch (command) {
  case PageCommand::Tab:
    form_->focusView();
    return true;
  case PageCommand::Refresh:
    form_->refresh();
    return true;
  case PageCommand::ClassChanged:
    form_->reload();
    return true;
  case PageCommand::Open:
    form_->openSelected();
    return true;
  default:
    break;
  }
  return CPageCtrl::OnCommand(command);
}

std::span<const CPageCtrl::Press> CFilesCtrl::presses() const {
  return kPresses;
}

} // namespace dh::files
