#include "shell/toprow.h"

#include <algorithm>

namespace dh::shell {

namespace {

// Places the design fixes in pixels.
constexpr int kRowTop = 3;
constexpr int kPagesLeft = 7;
constexpr int kPageGaps[2] = {10, 7}; // after Programs, after My Files
constexpr int kLogoWidth = 48;        // the logo is a picture: its size is its own
constexpr int kLogoTop = 1;
constexpr int kLogoHeight = 30;
constexpr int kFrameGap = 6;     // between the row and the frame
constexpr int kFrameInset = 5;   // from the window's left edge
constexpr int kClassMargin = 25; // kept between the Links button and a squeezed class button

// Sizes in dialog units; at the template font they are the design's pixels: the page
// buttons 86, 81 and 62 wide, the row 26 high.
constexpr int kPageMinimum[3] = {86, 81, 62};
constexpr int kPageUnits[3] = {57, 54, 41};
constexpr int kRowHeightMinimum = 26;
constexpr int kRowHeightUnits = 16;
constexpr int kClassUnits = 120;
constexpr int kChangeClassUnits = 77;
constexpr int kOptionsUnits = 64;
constexpr int kGroupGapUnits = 4; // class, Change Class and Options
constexpr int kLogoGapUnits = 5;  // Options and logo

int rowHeight(const ui::DialogUnits& units) {
  return std::max(kRowHeightMinimum, units.y(kRowHeightUnits));
}

// QRect::right() is one less than the edge; these work on edges, as window rectangles do.
int rightEdge(const QRect& r) {
  return r.x() + r.width();
}

QRect leftOf(const QRect& neighbour, int gap, int width, int top, int height) {
  return QRect(neighbour.x() - gap - width, top, width, height);
}

} // namespace

TopRow layOutTopRow(const QRect& outer, const ui::DialogUnits& units) {
  TopRow row;
  const int height = rowHeight(units);
  const int groupGap = units.x(kGroupGapUnits);
  const int right = rightEdge(outer);
  row.logo = QRect(right - kLogoWidth, kLogoTop, kLogoWidth, kLogoHeight);
  row.options = leftOf(row.logo, units.x(kLogoGapUnits), units.x(kOptionsUnits), kRowTop, height);
  row.changeClass = leftOf(row.options, groupGap, units.x(kChangeClassUnits), kRowTop, height);
  row.classButton = leftOf(row.changeClass, groupGap, units.x(kClassUnits), kRowTop, height);
  const int frameTop = kRowTop + height + kFrameGap;
  const int bottom = outer.y() + outer.height();
  row.frame = QRect(outer.x() + kFrameInset, frameTop, right - outer.x() - kFrameInset,
                    std::max(0, bottom - frameTop));

  const int pagesRight = rightEdge(pageButtonRects(true, true, true, units)[2]);
  if (row.classButton.x() < pagesRight) {
    // The right edge stays; on a window too narrow for any class button it has no width
    // rather than a negative one.
    const int classRight = rightEdge(row.classButton);
    const int left = pagesRight + kClassMargin;
    row.classButton = QRect(left, kRowTop, std::max(0, classRight - left), height);
  }
  return row;
}

std::array<QRect, 3> pageButtonRects(bool page1, bool page2, bool page3,
                                     const ui::DialogUnits& units) {
  std::array<QRect, 3> rects;
  int left = kPagesLeft;
  for (int i = 0; i < 3; ++i) {
    rects[i] =
        QRect(left, kRowTop, std::max(kPageMinimum[i], units.x(kPageUnits[i])), rowHeight(units));
    left = rightEdge(rects[i]) + (i < 2 ? kPageGaps[i] : 0);
  }
  const int mask = (page1 ? 1 : 0) + (page2 ? 2 : 0) + (page3 ? 4 : 0);
  switch (mask) {
  case 2:
    rects[1].moveLeft(rects[0].x());
    break;
  case 4:
    rects[2].moveLeft(rects[0].x());
    break;
  case 5:
    rects[2].moveLeft(rects[1].x());
    break;
  case 6:
    rects[1].moveLeft(rects[0].x());
    rects[2].moveLeft(rightEdge(rects[1]) + kPageGaps[1]);
    break;
  default:
    break;
  }
  return rects;
}

QString classCaption(const QString& currentClass, int whole, int kept) {
  if (currentClass.size() <= whole)
    return currentClass;
  return currentClass.left(kept) + QStringLiteral("...");
}

} // namespace dh::shell
