#include "common/ui/buttonaccessible.h"

#include "common/ui/buttonst.h"

#include <QMenu>

namespace dh {

namespace {

QAccessibleInterface* create(const QString&, QObject* object) {
  auto* button = qobject_cast<CButtonST*>(object);
  return button ? new CButtonAccessible(button) : nullptr;
}

// "&Options" is read as "Options"; "&&" stands for one "&".
QString withoutMnemonic(const QString& caption) {
  QString plain;
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == u'&' && ++i >= caption.size())
      break;
    plain += caption[i];
  }
  return plain;
}

} // namespace

CButtonAccessible::CButtonAccessible(CButtonST* button)
    : QAccessibleWidget(button, QAccessible::Button) {}

void CButtonAccessible::install() {
  static const bool installed = (QAccessible::installFactory(create), true);
  Q_UNUSED(installed);
}

CButtonST* CButtonAccessible::button() const {
  return static_cast<CButtonST*>(widget());
}

QAccessible::Role CButtonAccessible::role() const {
  return button()->isCheckable() ? QAccessible::CheckBox : QAccessible::Button;
}

QAccessible::State CButtonAccessible::state() const {
  QAccessible::State state = QAccessibleWidget::state();
  const CButtonST* b = button();
  state.pressed = b->isDown();
  state.checkable = b->isCheckable();
  state.checked = b->isCheckable() && b->isChecked();
  state.hasPopup = b->attachedMenu() != nullptr;
  state.defaultButton = b->isDefault();
  return state;
}

QString CButtonAccessible::text(QAccessible::Text kind) const {
  const CButtonST* b = button();
  switch (kind) {
  case QAccessible::Name:
    if (!b->accessibleName().isEmpty())
      return b->accessibleName();
    if (!b->text().isEmpty())
      return withoutMnemonic(b->text());
    return b->getHoverTip();
  case QAccessible::Description:
    if (!b->accessibleDescription().isEmpty())
      return b->accessibleDescription();
    return b->text().isEmpty() ? QString() : b->getHoverTip();
  default:
    return QAccessibleWidget::text(kind);
  }
}

QStringList CButtonAccessible::actionNames() const {
  QStringList names = QAccessibleWidget::actionNames();
  if (button()->isEnabled())
    names.prepend(button()->isCheckable() ? toggleAction() : pressAction());
  return names;
}

void CButtonAccessible::doAction(const QString& action) {
  if (!button()->isEnabled())
    return;
  if (action == pressAction() || action == toggleAction())
    button()->click();
  else
    QAccessibleWidget::doAction(action);
}

} // namespace dh
