// What the three page controls share: the widget the shell hosts holds its page's form at
// its own size and answers the shell's page commands. A command is accepted only when it
// did something, so the shell can tell.
#pragma once

#include "common/pagecommand.h"

#include <QWidget>

#include <span>
#include <utility>

namespace dh {

class CPageCtrl : public QWidget {
  Q_OBJECT

public:
  // A page command and the id of the form button it presses.
  using Press = std::pair<PageCommand, int>;

protected:
  using QWidget::QWidget;

  // Called by the derived control once its form exists: the form follows its size.
  void setForm(QWidget* form);

  // Handles a command: the default presses the button that presses() names for it.
  virtual bool OnCommand(PageCommand command);
  virtual std::span<const Press> presses() const = 0;
  // Presses the form's button id, as a click would (nothing when it is hidden or off).
  virtual bool pressButton(int id) = 0;

  bool event(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  QWidget* form_ = nullptr;
};

} // namespace dh
