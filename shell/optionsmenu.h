// The Options button's menu: the OnScreen Helper on or off, short or long messages, and
// silence. It only shows check marks and reports choices; the main window acts on them.
#pragma once

#include <QMenu>

namespace dh::shell {

class COptionsMenu : public QMenu {
  Q_OBJECT

public:
  enum Command {
    ShortMessages = 32771,
    LongMessages = 32772,
    HelperOff = 32774,
    HelperOn = 32778,
    Silent = 32779,
  };

  explicit COptionsMenu(QWidget* parent = nullptr);

  QAction* item(Command command) const;
  bool isChecked(Command command) const;
  // On and Off, and Short and Long, are pairs: checking one clears the other.
  void checkHelperOn(bool on);
  void checkShortMessages(bool shortMessages);
  void checkSilent(bool silent);

signals:
  void chosen(int command);

private:
  void add(Command command, const QString& text);
};

} // namespace dh::shell
