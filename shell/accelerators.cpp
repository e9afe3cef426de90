#include "accelerators.h"

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

// Accelerator commands 32780 ... 32805 in the order of page commands 61441 ... 61465.
const int kForwarded[] = {32780, 32781, 32784, 32788, 32787, 32786, 32783, 32789, 32790,
                          32782, 32785, 32791, 32792, 32793, 32800, 32804, 32805, 32794,
                          32795, 32796, 32797, 32798, 32799, 32801, 32802};
constexpr int kFirstPageCommand = 61441;

} // namespace

std::optional<int> AcceleratorCommand(int key, Qt::KeyboardModifiers modifiers) {
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

std::optional<int> AcceleratorCommand(const QKeyEvent& event) {
  return AcceleratorCommand(event.key(), event.modifiers());
}

std::optional<int> PageCommandFor(int acceleratorCommand) {
  for (int i = 0; i < static_cast<int>(std::size(kForwarded)); ++i)
    if (kForwarded[i] == acceleratorCommand)
      return kFirstPageCommand + i;
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
  auto* widget = qobject_cast<QWidget*>(watched);
  // Menus and message boxes are windows of their own and keep their keys.
  if (!window_ || !widget || widget->window() != window_)
    return false;
  const auto command = AcceleratorCommand(*static_cast<QKeyEvent*>(event));
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
