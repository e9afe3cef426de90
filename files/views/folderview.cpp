#include "files/views/folderview.h"

#include <QAbstractButton>

namespace dh::files {

void EnableItemButtons(const ToolButtons& buttons, const std::vector<const ItemRecord*>& selected) {
  if (selected.size() > 1)
    return;
  const bool one = selected.size() == 1;
  for (QAbstractButton* button : {buttons.cut, buttons.del, buttons.copy, buttons.rename})
    button->setEnabled(one);
  buttons.print->setEnabled(one && IsPrintable(selected.front()->name));
}

} // namespace dh::files
