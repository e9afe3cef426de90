#include "platform/ui/waitcursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace dh::ui {

WaitCursor::WaitCursor() {
  QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

WaitCursor::~WaitCursor() {
  QGuiApplication::restoreOverrideCursor();
}

} // namespace dh::ui
