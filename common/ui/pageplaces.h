// Where the page forms put the items they share, in pixels as first laid out: a tool bar
// across the top, a side panel of picture buttons on the left and, right of it, a line
// naming what the page shows above the page's own area. The frames stretch with the form.
#pragma once

#include <QRect>
#include <QSize>

namespace dh::pageplace {

inline constexpr QRect kToolBarFrame(6, 4, 708, 58);
inline constexpr QRect kBack(14, 13, 40, 40);
inline constexpr QRect kForward(58, 13, 40, 40);
inline constexpr QRect kForwardSeparator(104, 17, 2, 32);
inline constexpr QRect kSidePanelFrame(6, 68, 136, 366);
inline constexpr QRect kSideButton1(12, 76, 108, 74);
inline constexpr int kSidePitch = kSideButton1.height() + 6; // from one button's top to the next
inline constexpr QRect kScrollUp(122, 76, 16, 28);
inline constexpr QRect kScrollDown(122, 398, 16, 28);
inline constexpr QRect kPageLine(148, 68, 566, 24);
inline constexpr QRect kPageArea(148, 94, 566, 340);

struct Frames {
  QRect toolBar;
  QRect sidePanel;
  QRect pageLine;
  QRect pageArea;
};

// The frames of a form of that size: they keep 12 pixels free at its right edge and 65
// at its bottom. Without the side panel the page takes its place too.
Frames stretchFrames(QSize form, bool sidePanelShown = true);

} // namespace dh::pageplace
