// Key presses the program sends itself (a control handing a key on to a child), told
// apart from the keys the pupil pressed. Spontaneity cannot tell them apart: while an
// assistive tool listens for keys, the accessibility bridge holds each key the pupil
// presses and then posts a copy of it, which is no longer spontaneous.
#pragma once

#include <QKeyEvent>

class QEvent;
class QWidget;

namespace dh::ui {

class OwnKeyEvent : public QKeyEvent {
public:
  OwnKeyEvent(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers);
  // Copies (the browser engine keeps one of each key it is given) keep the mark.
  OwnKeyEvent* clone() const override;
};

// Sends a press and a release of key to target at once, marked as the program's own.
void sendOwnKey(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// Whether event is a key the program sent itself.
bool isOwnKey(const QEvent* event);

} // namespace dh::ui
