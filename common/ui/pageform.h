// What the three page forms share: the scheme they select for the platform mode, their
// OnScreen Helper, the buttons they make alike (tool bar, side-panel scroll and check
// buttons, each saying its tool tip through the helper when the pointer rests on it),
// presses of them as a pupil's click, and the user type indicator at the tool bar's end.
#pragma once

#include "common/pagecommand.h"
#include "common/scheme.h"
#include "common/ui/onscreenhelper.h"

#include <QFrame>
#include <QWidget>

#include <array>
#include <functional>

class QIcon;
class QLabel;

namespace dh {

class CButtonST;
class CWinXPButtonST;

// A side-panel check button with control id id, its picture above its caption, in the
// side panel's keyboard part: the forms' side buttons and My Files' root slots.
CWinXPButtonST* makeSlotButton(QWidget* parent, int id);

class CPageForm : public QWidget {
  Q_OBJECT

public:
  static constexpr int kIndicator = 65518;
  using SideButtons = std::array<CWinXPButtonST*, kSideButtons>;

  ~CPageForm() override;

  const DhvScheme& scheme() const { return scheme_; }

  // Presses a button by id as a click would, if the pupil could press it now: one that is
  // shown and enabled. Returns whether it was pressed.
  virtual bool press(int id);

protected:
  // Selects the scheme of the platform mode the controls use.
  explicit CPageForm(QWidget* parent);

  // Selects the scheme again (after a change of class) and tells the helper its name.
  void selectScheme();

  // The items of a form, each with its control id.
  QFrame* makeFrame(int id, QFrame::Shape shape);
  // A rounded tool bar button showing icon, with its tool tip; clicked runs on a click.
  CWinXPButtonST* makeToolButton(int id, const QIcon& icon, const QString& tip,
                                 std::function<void()> clicked = {});
  // A side-panel scroll button at its place, flat on its frame, without a border.
  CButtonST* makeScrollButton(int id, bool down, const QIcon& hover, const QIcon& normal,
                              const QString& tip, std::function<void()> clicked);
  // The side panel's rounded check buttons, pictures above captions, one below the other;
  // clicked receives the index of the button clicked.
  SideButtons makeSideButtons(const std::array<int, kSideButtons>& ids,
                              std::function<void(int index)> clicked);
  // Puts the scroll-down button level with the foot of the last side button shown.
  static void placeScrollDown(QWidget* scrollDown, const QWidget* lastShown);
  // The user type indicator with its picture, hidden when there is none.
  void makeIndicator();
  // Places a shown indicator within box: at its right, centred in its height, no larger
  // than its picture; at its left and top when the picture nearly fills it.
  void placeIndicator(const QRect& box);
  // The indicator's box on a tool bar whose last button is lastButton: from 29 pixels
  // right of it to 5 pixels short of the bar's right edge, between 10 pixels below the
  // bar's top and 5 above its bottom.
  void placeIndicatorAfter(const QRect& toolBar, const QRect& lastButton);

  // Clicks the button of that id inside holder, if it is shown in the form and enabled.
  bool pressIn(QWidget* holder, int id);

  // The pointer rested on button: the helper says its tool tip.
  virtual void onHover(CButtonST* button);

  int mode_ = 0;
  DhvScheme scheme_;
  OnScreenHelper helper_;
  QLabel* indicator_ = nullptr;
};

} // namespace dh
