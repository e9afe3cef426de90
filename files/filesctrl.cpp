#include "files/filesctrl.h"

#include "files/filesform.h"
#include "files/views/folderlistview.h"

#include <array>
#include <utility>

namespace dh::files {

namespace {

using dh::PageCommand;
using dh::sideButtonCommand;

// Page commands and the buttons they press.
constexpr std::array<CPageCtrl::Press, 22> kPresses = {{
    {PageCommand::Back, FilesForm::kBack},
    {PageCommand::Forward, FilesForm::kForward},
    {PageCommand::Up, FilesForm::kUp},
    {PageCommand::Copy, FilesForm::kCopy},
    {PageCommand::Cut, FilesForm::kCut},
    {PageCommand::Paste, FilesForm::kPaste},
    {PageCommand::Rename, FilesForm::kRename},
    {PageCommand::Undo, FilesForm::kUndo},
    {PageCommand::Print, FilesForm::kPrint},
    {PageCommand::Help, FilesForm::kHelp},
    {PageCommand::NewFolder, FilesForm::kNewFolder},
    {PageCommand::IconSize, FilesForm::kIconSize},
    {PageCommand::Delete, FilesForm::kDelete},
    {sideButtonCommand(0), CFolderListView::kSlotIds[0]},
    {sideButtonCommand(1), CFolderListView::kSlotIds[1]},
    {sideButtonCommand(2), CFolderListView::kSlotIds[2]},
    {sideButtonCommand(3), CFolderListView::kSlotIds[3]},
    {sideButtonCommand(4), CFolderListView::kSlotIds[4]},
    {sideButtonCommand(5), CFolderListView::kSlotIds[5]},
    {sideButtonCommand(6), CFolderListView::kSlotIds[6]},
    {PageCommand::ScrollUp, CFolderListView::kScrollUp},
    {PageCommand::ScrollDown, CFolderListView::kScrollDown},
}};

} // namespace

CFilesCtrl::CFilesCtrl(QWidget* parent) : CPageCtrl(parent), form_(new FilesForm(this)) {
  setForm(form_);
}

bool CFilesCtrl::OnCommand(PageCommand command) {
  switch (command) {
  case PageCommand::Tab:
    form_->FocusView();
    return true;
  case PageCommand::Refresh:
    form_->Refresh();
    return true;
  case PageCommand::ClassChanged:
    form_->Reload();
    return true;
  case PageCommand::Open:
    form_->OpenSelected();
    return true;
  default:
    break;
  }
  return CPageCtrl::OnCommand(command);
}

std::span<const CPageCtrl::Press> CFilesCtrl::presses() const {
  return kPresses;
}

bool CFilesCtrl::pressButton(int id) {
  return form_->Press(id);
}

} // namespace dh::files
