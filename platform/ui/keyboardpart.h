// The parts of a window the keyboard moves between as wholes (F6): the shell's top row, a
// page's tool bar and its side panel. Each button carries the part it belongs to, so the
// shell finds the buttons of the pages it loads without knowing the code that made them.
#pragma once

#include <QVariant>
#include <QWidget>

#include <optional>

namespace dh::ui {

enum class KeyboardPart { TopRow, ToolBar, SidePanel };

inline constexpr const char* kKeyboardPartProperty = "keyboardPart";

// Puts button into part. It takes the focus from the keyboard only, so that a click
// leaves the focus where it was and no focus frame behind.
inline void setKeyboardPart(QWidget* button, KeyboardPart part) {
  button->setProperty(kKeyboardPartProperty, static_cast<int>(part));
  button->setFocusPolicy(Qt::TabFocus);
}

// The part widget belongs to, if it is a button of one.
inline std::optional<KeyboardPart> keyboardPartOf(const QWidget* widget) {
  const QVariant part = widget ? widget->property(kKeyboardPartProperty) : QVariant();
  return part.isValid() ? std::optional(static_cast<KeyboardPart>(part.toInt())) : std::nullopt;
}

} // namespace dh::ui
