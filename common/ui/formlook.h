// The items the page forms share: frames, tool bar, scroll and side-panel buttons made
// with their control ids and look, presses as a pupil's click, and the user type
// indicator at the end of the tool bar.
#pragma once

#include <QFrame>
#include <QRect>

class QIcon;
class QLabel;
class QString;
class QWidget;

namespace dh {

class CButtonST;
class CWinXPButtonST;

// The items of a form, each with its control id; the form connects their signals.
QFrame* MakeFormFrame(QWidget* form, int id, QFrame::Shape shape);
// A rounded tool bar button showing icon, with its tool tip.
CWinXPButtonST* MakeToolButton(QWidget* form, int id, const QIcon& icon, const QString& tip);
// A side-panel scroll button, flat on its frame, without a border.
CButtonST* MakeScrollButton(QWidget* form, int id, const QIcon& hover, const QIcon& normal,
                            const QString& tip);
// A rounded check button of the side panel with its picture above its caption.
CWinXPButtonST* MakeSideButton(QWidget* form, int id);
// Clicks the form's button of that id if the pupil could now: shown and enabled.
bool PressFormButton(QWidget* form, int id);

// Shows the user type indicator picture in indicator, or hides it when there is none.
void LoadIndicatorPicture(QLabel* indicator);
// Places a shown indicator at the right end of the tool bar: from 29 pixels right of the
// last tool bar button to 5 pixels short of the bar's right edge, centred between 10
// pixels below its top and 5 above its bottom, no larger than its picture.
void PlaceIndicator(QLabel* indicator, const QRect& toolBar, const QRect& lastButton);

} // namespace dh
