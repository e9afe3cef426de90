// The shell's keyboard shortcuts: the accelerator table (key -> command of the main
// window), the page command each accelerator command becomes, and the filter that
// takes these keys before any widget of the main window sees them, so Tab, Escape and
// the rest never move the focus or close anything there.
#pragma once

#include "platform/components/pagecommand.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

class QKeyEvent;
class QWidget;

namespace dh::shell {

inline constexpr int kEscapeCommand = 32803;

// The accelerator command of a key press, matching its modifiers exactly.
std::optional<int> acceleratorCommand(int key, Qt::KeyboardModifiers modifiers);
std::optional<int> acceleratorCommand(const QKeyEvent& event);
// The page command an accelerator command is forwarded as; nothing for Escape.
std::optional<component::PageCommand> pageCommandFor(int acceleratorCommand);

class CAcceleratorTable : public QObject {
  Q_OBJECT

public:
  // Takes the shortcut keys of every widget inside window (the page controls included)
  // and hands their commands to handler. Installs itself on the application.
  CAcceleratorTable(QWidget* window, std::function<void(int command)> handler);
  ~CAcceleratorTable() override;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QPointer<QWidget> window_;
  std::function<void(int)> handler_;
};

} // namespace dh::shell
