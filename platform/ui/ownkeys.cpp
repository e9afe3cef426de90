#include "platform/ui/ownkeys.h"

#include <QCoreApplication>
#include <QWidget>

namespace dh::ui {

OwnKeyEvent::OwnKeyEvent(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers)
    : QKeyEvent(type, key, modifiers) {}

OwnKeyEvent* OwnKeyEvent::clone() const {
  return new OwnKeyEvent(*this);
}

void sendOwnKey(QWidget* target, int key, Qt::KeyboardModifiers modifiers) {
  OwnKeyEvent press(QEvent::KeyPress, key, modifiers);
  OwnKeyEvent release(QEvent::KeyRelease, key, modifiers);
  QCoreApplication::sendEvent(target, &press);
  QCoreApplication::sendEvent(target, &release);
}

bool isOwnKey(const QEvent* event) {
  return dynamic_cast<const OwnKeyEvent*>(event) != nullptr;
}

} // namespace dh::ui
