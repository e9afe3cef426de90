// The shell's keyboard shortcuts: the accelerator table (key -> the page command it sends
// to the page on show, or the shell's own action), and the filter that takes these keys
// before any widget of the main window sees them, so Tab, Escape and the rest never move
// the focus or close anything there.
#pragma once

#include "common/pagecommand.h"
#include "shell/keyboardparts.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>
#include <variant>

class QKeyEvent;
class QWidget;

namespace dh::shell {

// What the shell itself does with a key rather than send it to a page.
enum class ShellAction {
  Swallow,      // Escape: taken, so that it closes nothing and reaches no control
  NextPart,     // F6: the keyboard to the next part of the window
  PreviousPart, // Shift+F6: to the previous one
};

using KeyCommand = std::variant<PageCommand, ShellAction>;

// What a key press does, matching its modifiers exactly; nothing for other keys.
std::optional<KeyCommand> keyCommand(int key, Qt::KeyboardModifiers modifiers);
std::optional<KeyCommand> keyCommand(const QKeyEvent& event);

class CAcceleratorTable : public QObject {
  Q_OBJECT

public:
  // Takes the shortcut keys of every widget inside window (the page controls included)
  // and hands their page commands to toPage; moves the keyboard among the window's parts
  // and their buttons. Installs itself on the application.
  CAcceleratorTable(QWidget* window, std::function<void(PageCommand command)> toPage);
  ~CAcceleratorTable() override;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QPointer<QWidget> window_;
  std::function<void(PageCommand)> toPage_;
  KeyboardParts parts_;
};

} // namespace dh::shell
