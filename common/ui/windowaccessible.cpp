#include "common/ui/windowaccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace dh {

namespace {

// Asked for each class of an object from the most derived up: "QWidget" is reached only
// by widgets no class of Qt's own (dialogs, main windows) has claimed before.
QAccessibleInterface* create(const QString& className, QObject* object) {
  if (className != QLatin1String("QWidget") || !object->isWidgetType())
    return nullptr;
  auto* widget = static_cast<QWidget*>(object);
  return widget->isWindow() ? new QAccessibleWidget(widget, QAccessible::Window) : nullptr;
}

} // namespace

void installWindowAccessible() {
  static const bool installed = (QAccessible::installFactory(create), true);
  Q_UNUSED(installed);
}

} // namespace dh
