#include "shell/keyboardparts.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace dh::shell {

namespace {

using ui::KeyboardPart;

// F6 visits the parts in the order of their values and then the page's view.
constexpr int kView = static_cast<int>(KeyboardPart::SidePanel) + 1;
constexpr int kStops = kView + 1;

} // namespace

KeyboardParts::KeyboardParts(QWidget* window, std::function<void()> focusView)
    : window_(window), focusView_(std::move(focusView)) {}

void KeyboardParts::moveToPart(bool forward) {
  if (!window_)
    return;
  const auto part = ui::keyboardPartOf(window_->focusWidget());
  const int here = part ? static_cast<int>(*part) : kView;
  for (int step = 1; step < kStops; ++step) {
    const int stop = (here + (forward ? step : kStops - step)) % kStops;
    if (stop == kView) {
      focusView_();
      // No page on show: the keyboard stays on the button, and the next part is tried.
      if (!ui::keyboardPartOf(window_->focusWidget()))
        return;
      continue;
    }
    const auto found = buttons(static_cast<KeyboardPart>(stop));
    if (!found.empty()) {
      found.front()->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
      return;
    }
  }
}

bool KeyboardParts::isButtonKey(const QWidget* widget, const QKeyEvent& key) {
  if (!ui::keyboardPartOf(widget) || (key.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
    return false;
  switch (key.key()) {
  case Qt::Key_Left:
  case Qt::Key_Up:
  case Qt::Key_Right:
  case Qt::Key_Down:
  case Qt::Key_Home:
  case Qt::Key_End:
  case Qt::Key_Return:
  case Qt::Key_Enter:
    return true;
  default:
    return false;
  }
}

void KeyboardParts::buttonKey(QWidget* widget, const QKeyEvent& key) {
  const auto part = ui::keyboardPartOf(widget);
  if (!part)
    return;
  const auto found = buttons(*part);
  const int count = int(found.size());
  const int at = int(std::ranges::find(found, widget) - found.begin());
  if (at == count)
    return; // hidden or disabled meanwhile
  int next = at;
  switch (key.key()) {
  case Qt::Key_Return:
  case Qt::Key_Enter:
    found[at]->click();
    return;
  case Qt::Key_Home:
    next = 0;
    break;
  case Qt::Key_End:
    next = count - 1;
    break;
  case Qt::Key_Left:
  case Qt::Key_Up:
    next = (at + count - 1) % count;
    break;
  default:
    next = (at + 1) % count;
    break;
  }
  found[next]->setFocus(Qt::TabFocusReason);
}

std::vector<QAbstractButton*> KeyboardParts::buttons(KeyboardPart part) const {
  std::vector<QAbstractButton*> found;
  if (!window_)
    return found;
  for (auto* button : window_->findChildren<QAbstractButton*>())
    if (ui::keyboardPartOf(button) == part && button->isVisible() && button->isEnabled() &&
        button->window() == window_)
      found.push_back(button);
  // Rows are read from the left, the side panel from the top, each button at its middle
  // (a small scroll button beside the first side button comes before it).
  const bool column = part == KeyboardPart::SidePanel;
  const auto place = [this, column](const QWidget* button) {
    const QPoint at = button->mapTo(window_.data(), button->rect().center());
    return column ? std::pair(at.y(), at.x()) : std::pair(at.x(), at.y());
  };
  std::ranges::stable_sort(found, {}, place);
  return found;
}

} // namespace dh::shell
