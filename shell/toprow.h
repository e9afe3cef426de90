// The geometry of the main window's top row: fixed places of the page buttons, the gaps
// closed for pages a scheme does not offer, the right-hand group that follows the
// window's width, and the captions of the class button. No widgets: pure rectangles.
//
// Sizes come from the dialog units of the buttons' font. The page buttons keep the pixel
// places the design fixes and grow only where the font's units need more room; at the
// base units of the template font (6 by 13) every item has its template size.
#pragma once

#include "platform/ui/dialogunits.h"

#include <QRect>
#include <QString>

#include <array>

namespace dh::shell {

// The right-hand group and the page frame as laid out for a window whose outer
// rectangle, in its own client coordinates, is outer.
struct TopRow {
  QRect classButton; // 1018
  QRect changeClass; // 1001
  QRect options;     // 1000
  QRect logo;        // 1017
  QRect frame;       // 1009
};

TopRow layOutTopRow(const QRect& outer, const ui::DialogUnits& units);

// The page buttons 1003, 1004, 1005 for the pages offered: their places, and the buttons
// of offered pages moved left over the places of pages that are not offered.
std::array<QRect, 3> pageButtonRects(bool page1, bool page2, bool page3,
                                     const ui::DialogUnits& units);

// The class as a caption: whole when it has at most whole characters, else its first
// kept characters followed by "...".
QString classCaption(const QString& currentClass, int whole, int kept);

} // namespace dh::shell
