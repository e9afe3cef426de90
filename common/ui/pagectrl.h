// What the three page controls share: the widget the shell hosts holds its page's form at
// its own size and answers the shell's page commands. A command is accepted only when it
// did something, so the shell can tell.
#pragma once

#include "common/pagecommand.h"

#include <QWidget>

#include <array>
#include <cstddef>
#include <span>
#include <utility>

namespace dh {

class CPageForm;

class CPageCtrl : public QWidget {
  Q_OBJECT

public:
  // A page command and the id of the form button it presses.
  using Press = std::pair<PageCommand, int>;

protected:
  using QWidget::QWidget;

  // Called by the derived control once its form exists: the form follows its size.
  void setForm(CPageForm* form);

  // Handles a command: the default presses, as a click would, the form button that
  // presses() names for it (nothing when that button is hidden or off).
  virtual bool OnCommand(PageCommand command);
  virtual std::span<const Press> presses() const = 0;

  bool event(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  CPageForm* form_ = nullptr;
};

// A control's presses: its own, then side-panel button i pressed by sideButtonCommand(i).
template <std::size_t N>
constexpr std::array<CPageCtrl::Press, N + kSideButtons>
withSideButtons(const std::array<CPageCtrl::Press, N>& own,
                const std::array<int, kSideButtons>& sideButtonIds) {
  std::array<CPageCtrl::Press, N + kSideButtons> presses{};
  for (std::size_t row = 0; row < N; ++row)
    presses[row] = own[row];
  for (int index = 0; index < kSideButtons; ++index)
    presses[N + index] = {sideButtonCommand(index), sideButtonIds[index]};
  return presses;
}

} // namespace dh
