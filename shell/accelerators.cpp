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
  int command;
};

constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
constexpr Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers kAlt = Qt::AltModifier;

const Accelerator kTable[] = {
    {Qt::Key_1, kCtrl, 32805},      {Qt::Key_2, kCtrl, 32794},
    {Qt::Key_3, kCtrl, 32795},      {Qt::Key_4, kCtrl, 32796},
    {Qt::Key_5, kCtrl, 32797},      {Qt::Key_6, kCtrl, 32798},
    {Qt::Key_7, kCtrl, 32799},      {Qt::Key_C, kCtrl, 32788},
    {Qt::Key_N, kCtrl, 32785},      {Qt::Key_P, kCtrl, 32790},
    {Qt::Key_V, kCtrl, 32786},      {Qt::Key_X, kCtrl, 32787},
    {Qt::Key_Z, kCtrl, 32789},      {Qt::Key_Delete, kNone, 32792},
    {Qt::Key_Escape, kNone, 32803}, {Qt::Key_F1, kNone, 32782},
    {Qt::Key_F2, kNone, 32783},     {Qt::Key_F5, kNone, 32804},
    {Qt::Key_F11, kNone, 32793},    {Qt::Key_Tab, kNone, 32800},
    {Qt::Key_PageUp, kNone, 32801}, {Qt::Key_PageDown, kNone, 32802},
    {Qt::Key_Left, kAlt, 32780},    {Qt::Key_Right, kAlt, 32781},
    {Qt::Key_Up, kAlt, 32784},
};

// Each forwarded accelerator command and the page command it becomes.
using component::PageCommand;
const std::pair<int, PageCommand> kForwarded[] = {
    {32780, PageCommand::Back},
    {32781, PageCommand::Forward},
    {32784, PageCommand::Up},
    {32788, PageCommand::Copy},
    {32787, PageCommand::Cut},
    {32786, PageCommand::Paste},
    {32783, PageCommand::Rename},
    {32789, PageCommand::Undo},
    {32790, PageCommand::Print},
    {32782, PageCommand::Help},
    {32785, PageCommand::NewFolder},
    {32791, PageCommand::IconSize},
    {32792, PageCommand::Delete},
    {32793, PageCommand::SidePanel},
    {32800, PageCommand::Tab},
    {32804, PageCommand::Refresh},
    {32805, component::sideButtonCommand(0)},
    {32794, component::sideButtonCommand(1)},
    {32795, component::sideButtonCommand(2)},
    {32796, component::sideButtonCommand(3)},
    {32797, component::sideButtonCommand(4)},
    {32798, component::sideButtonCommand(5)},
    {32799, component::sideButtonCommand(6)},
    {32801, PageCommand::ScrollUp},
    {32802, PageCommand::ScrollDown},
};

} // namespace

std::optional<int> acceleratorCommand(int key, Qt::KeyboardModifiers modifiers) {
  // Only the plus of the numeric keypad counts, with Ctrl, and its digits are keys of
  // their own; its navigation keys (Delete, Page Up, ...) are the same keys as elsewhere.
  const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
  if (key == Qt::Key_Plus)
    return modifiers == (kCtrl | Qt::KeypadModifier) ? std::optional(32791) : std::nullopt;
  if (keypad && key >= Qt::Key_0 && key <= Qt::Key_9)
    return std::nullopt;
  const Qt::KeyboardModifiers plain = modifiers & ~Qt::KeypadModifier;
  for (const Accelerator& a : kTable)
    if (a.key == key && a.modifiers == plain)
      return a.command;
  return std::nullopt;
}

std::optional<int> acceleratorCommand(const QKeyEvent& event) {
  return acceleratorCommand(event.key(), event.modifiers());
}

std::optional<component::PageCommand> pageCommandFor(int acceleratorCommand) {
  for (const auto& [accelerator, page] : kForwarded)
    if (accelerator == acceleratorCommand)
      return page;
  return std::nullopt;
}

CAcceleratorTable::CAcceleratorTable(QWidget* window, std::function<void(int)> handler)
    : window_(window), handler_(std::move(handler)) {
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
  const auto command = acceleratorCommand(*static_cast<QKeyEvent*>(event));
  if (!command)
    return false;
  if (type == QEvent::ShortcutOverride) {
    // Claimed here so that no shortcut of a control takes the key before its key press.
    event->accept();
    return true;
  }
  handler_(*command);
  return true;
}

} // namespace dh::shell
