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
                        {PageCommand::ScrollUp, CFolderListView::kScrollUp},
                        {PageCommand::ScrollDown, CFolderListView::kScrollDown},
                    }),
                    CFolderListView::kSlotIds);

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
  return form_->press(id);
}

} // namespace dh::files
