#include "files/views/folderview.h"

#include <QAbstractButton>

#include <algorithm>

namespace dh::files {

bool MayPrint(const std::vector<const ItemRecord*>& selected) {
  return !selected.empty() &&
         std::all_of(selected.begin(), selected.end(), [](const ItemRecord* item) {
           return !item->folder && IsPrintable(item->name);
         });
}

void EnableItemButtons(const ToolButtons& buttons, const std::vector<const ItemRecord*>& selected) {
  for (QAbstractButton* button : {buttons.cut, buttons.del, buttons.copy})
    button->setEnabled(!selected.empty());
  buttons.rename->setEnabled(selected.size() == 1);
  buttons.print->setEnabled(MayPrint(selected));
}

} // namespace dh::files
