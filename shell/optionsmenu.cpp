#include "shell/optionsmenu.h"
#include "platform/ui/controlid.h"

namespace dh::shell {

COptionsMenu::COptionsMenu(QWidget* parent) : QMenu(parent) {
  add(HelperOn, QStringLiteral("OnScreen Helper &On"));
  add(HelperOff, QStringLiteral("OnScreen Helper O&ff"));
  addSeparator();
  add(ShortMessages, QStringLiteral("&Short Messages"));
  add(LongMessages, QStringLiteral("&Long Messages"));
  addSeparator();
  add(Silent, QStringLiteral("S&ilent"));
}

void COptionsMenu::add(Command command, const QString& text) {
  QAction* action = addAction(text);
  ui::setControlId(action, command);
  action->setCheckable(true);
  // The main window decides every check mark, so a click must not toggle it first.
  connect(action, &QAction::triggered, this, [this, action, command](bool checked) {
    action->setChecked(!checked);
    emit chosen(command);
  });
}

QAction* COptionsMenu::item(Command command) const {
  return findChild<QAction*>(ui::idName(command), Qt::FindDirectChildrenOnly);
}

bool COptionsMenu::isChecked(Command command) const {
  return item(command)->isChecked();
}

void COptionsMenu::checkHelperOn(bool on) {
  item(HelperOn)->setChecked(on);
  item(HelperOff)->setChecked(!on);
}

void COptionsMenu::checkShortMessages(bool shortMessages) {
  item(ShortMessages)->setChecked(shortMessages);
  item(LongMessages)->setChecked(!shortMessages);
}

void COptionsMenu::checkSilent(bool silent) {
  item(Silent)->setChecked(silent);
}

} // namespace dh::shell
