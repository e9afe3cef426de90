// Moves the keyboard among the parts of the main window and among the buttons of a part,
// so that a pupil who cannot use the mouse reaches every button: F6 and Shift+F6 go from
// the top row to the page's tool bar, its side panel and its view and round again; on a
// button of a part the arrow keys, Home and End move along the part and Enter presses.
#pragma once

#include "platform/ui/keyboardpart.h"

#include <QPointer>

#include <functional>
#include <vector>

class QAbstractButton;
class QKeyEvent;
class QWidget;

namespace dh::shell {

class KeyboardParts {
public:
  // focusView puts the keyboard into the view of the page on show, as Tab does.
  KeyboardParts(QWidget* window, std::function<void()> focusView);

  // The first button of the next (or previous) part that has one the pupil can press, or
  // the page's view, cycling; nothing moves when no other part can take the keyboard.
  void moveToPart(bool forward);

  // Whether key, pressed on widget, moves along or presses the buttons of its part.
  static bool isButtonKey(const QWidget* widget, const QKeyEvent& key);
  // Acts on such a key.
  void buttonKey(QWidget* widget, const QKeyEvent& key);

  // The buttons of part that are shown and enabled, in the order they are read.
  std::vector<QAbstractButton*> buttons(ui::KeyboardPart part) const;

private:
  QPointer<QWidget> window_;
  std::function<void()> focusView_;
};

} // namespace dh::shell
