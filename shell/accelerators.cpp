#include "shell/accelerators.h"

#include "platform/ui/ownkeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace dh::shell {

namespace {

struct Accelerator {
  int key;
  Qt::KeyboardModifiers modifiers;
  KeyCommand command;
};

constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
constexpr Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers kAlt = Qt::AltModifier;
constexpr Qt::KeyboardModifiers kShift = Qt::ShiftModifier;

const Accelerator kTable[] = {
    {Qt::Key_1, kCtrl, sideButtonCommand(0)},
    {Qt::Key_2, kCtrl, sideButtonCommand(1)},
    {Qt::Key_3, kCtrl, sideButtonCommand(2)},
    {Qt::Key_4, kCtrl, sideButtonCommand(3)},
    {Qt::Key_5, kCtrl, sideButtonCommand(4)},
    {Qt::Key_6, kCtrl, sideButtonCommand(5)},
    {Qt::Key_7, kCtrl, sideButtonCommand(6)},
    {Qt::Key_C, kCtrl, PageCommand::Copy},
    {Qt::Key_N, kCtrl, PageCommand::NewFolder},
    {Qt::Key_P, kCtrl, PageCommand::Print},
    {Qt::Key_V, kCtrl, PageCommand::Paste},
    {Qt::Key_X, kCtrl, PageCommand::Cut},
    {Qt::Key_Z, kCtrl, PageCommand::Undo},
    {Qt::Key_Delete, kNone, PageCommand::Delete},
    {Qt::Key_Escape, kNone, ShellAction::Swallow},
    {Qt::Key_F1, kNone, PageCommand::Help},
    {Qt::Key_F2, kNone, PageCommand::Rename},
    {Qt::Key_F5, kNone, PageCommand::Refresh},
    {Qt::Key_F6, kNone, ShellAction::NextPart},
    {Qt::Key_F6, kShift, ShellAction::PreviousPart},
    {Qt::Key_F11, kNone, PageCommand::SidePanel},
    {Qt::Key_Tab, kNone, PageCommand::Tab},
    {Qt::Key_PageUp, kNone, PageCommand::ScrollUp},
    {Qt::Key_PageDown, kNone, PageCommand::ScrollDown},
    {Qt::Key_Left, kAlt, PageCommand::Back},
    {Qt::Key_Right, kAlt, PageCommand::Forward},
    {Qt::Key_Up, kAlt, PageCommand::Up},
};

} // namespace

std::optional<KeyCommand> keyCommand(int key, Qt::KeyboardModifiers modifiers) {
  // Only the plus of the numeric keypad counts, with Ctrl, and its digits are keys of
  // their own; its navigation keys (Delete, Page Up, ...) are the same keys as elsewhere.
  const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
  if (key == Qt::Key_Plus)
    return modifiers == (kCtrl | Qt::KeypadModifier)
               ? std::optional<KeyCommand>(PageCommand::IconSize)
               : std::nullopt;
  if (keypad && key >= Qt::Key_0 && key <= Qt::Key_9)
    return std::nullopt;
  const Qt::KeyboardModifiers plain = modifiers & ~Qt::KeypadModifier;
  for (const Accelerator& a : kTable)
    if (a.key == key && a.modifiers == plain)
      return a.command;
  return std::nullopt;
}

std::optional<KeyCommand> keyCommand(const QKeyEvent& event) {
  return keyCommand(event.key(), event.modifiers());
}

CAcceleratorTable::CAcceleratorTable(QWidget* window, std::function<void(PageCommand)> toPage)
    : window_(window), toPage_(std::move(toPage)),
      parts_(window, [this] { toPage_(PageCommand::Tab); }) {
  qApp->installEventFilter(this);
}

CAcceleratorTable::~CAcceleratorTable() {
  qApp->removeEventFilter(this);
}

bool CAcceleratorTable::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
    return false;
  // Only keys the pupil pressed are shortcuts, whether they come straight from the
  // keyboard or as the copy the accessibility bridge posts. A key press that a page
  // control sends itself (the Links page hands Tab to its web page) is for its target:
  // taken here, it would come back to that control as the same command without end.
  if (ui::isOwnKey(event))
    return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  // Menus and message boxes are windows of their own and keep their keys.
  if (!window_ || !widget || widget->window() != window_)
    return false;
  const auto& key = *static_cast<QKeyEvent*>(event);
  const auto command = keyCommand(key);
  // The keys that move along a part are the pupil's only on its buttons: on a list, a
  // tree or the web page they are that control's.
  const bool buttonKey = !command && KeyboardParts::isButtonKey(widget, key);
  if (!command && !buttonKey)
    return false;
  if (type == QEvent::ShortcutOverride) {
    // Claimed here so that no shortcut of a control takes the key before its key press.
    event->accept();
    return true;
  }
  if (buttonKey)
    parts_.buttonKey(widget, key);
  else if (const auto* page = std::get_if<PageCommand>(&*command))
    toPage_(*page);
  else if (const auto action = std::get<ShellAction>(*command); action != ShellAction::Swallow)
    parts_.moveToPart(action == ShellAction::NextPart);
  return true;
}

} // namespace dh::shell
