#include "files/views/folderview.h"

#include <QAbstractButton>

#include <algorithm>
#include <utility>

namespace dh::files {

bool mayPrint(const std::vector<const ItemRecord*>& selected) {
  return !selected.empty() &&
         std::all_of(selected.begin(), selected.end(), [](const ItemRecord* item) {
           return !item->folder && IsPrintable(item->name);
         });
}

void enableItemButtons(const ToolButtons& buttons, const std::vector<const ItemRecord*>& selected) {
  for (QAbstractButton* button : {buttons.cut, buttons.del, buttons.copy})
    button->setEnabled(!selected.empty());
  buttons.rename->setEnabled(selected.size() == 1);
  buttons.print->setEnabled(mayPrint(selected));
}

void FolderView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (std::exchange(stale_, false))
    folderChanged({});
}

void FolderView::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  stale_ = true;
}

} // namespace dh::files
