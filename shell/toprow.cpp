#include "shell/toprow.h"

namespace dh::shell {

namespace {

// The template's places: widths, heights and the gaps between neighbours, in pixels.
constexpr int kRowTop = 3;
constexpr int kRowHeight = 26;
constexpr int kClassWidth = 180;
constexpr int kChangeClassWidth = 116;
constexpr int kOptionsWidth = 96;
constexpr int kLogoWidth = 48;
constexpr int kLogoTop = 1;
constexpr int kLogoHeight = 30;
constexpr int kGroupGap = 6;     // class, Change Class and Options
constexpr int kLogoGap = 8;      // Options and logo
constexpr int kFrameTop = 35;    // below the row
constexpr int kFrameInset = 5;   // from the window's left edge
constexpr int kClassMargin = 25; // kept between the Links button and a squeezed class button

const std::array<QRect, 3> kPageButtons = {QRect(7, kRowTop, 86, kRowHeight),
                                           QRect(103, kRowTop, 81, kRowHeight),
                                           QRect(191, kRowTop, 62, kRowHeight)};

// QRect::right() is one less than the edge; these work on edges, as window rectangles do.
int rightEdge(const QRect& r) {
  return r.x() + r.width();
}

QRect leftOf(const QRect& neighbour, int gap, int width, int top, int height) {
  return QRect(neighbour.x() - gap - width, top, width, height);
}

} // namespace

TopRow LayOutTopRow(const QRect& outer) {
  TopRow row;
  const int right = rightEdge(outer);
  row.logo = QRect(right - kLogoWidth, kLogoTop, kLogoWidth, kLogoHeight);
  row.options = leftOf(row.logo, kLogoGap, kOptionsWidth, kRowTop, kRowHeight);
  row.changeClass = leftOf(row.options, kGroupGap, kChangeClassWidth, kRowTop, kRowHeight);
  row.classButton = leftOf(row.changeClass, kGroupGap, kClassWidth, kRowTop, kRowHeight);
  const int bottom = outer.y() + outer.height();
  row.frame = QRect(outer.x() + kFrameInset, kFrameTop, right - outer.x() - kFrameInset,
                    std::max(0, bottom - kFrameTop));

  const int pagesRight = rightEdge(kPageButtons[2]);
  if (row.classButton.x() < pagesRight) {
    // The right edge stays; on a window too narrow for any class button it has no width
    // rather than a negative one.
    const int classRight = rightEdge(row.classButton);
    const int left = pagesRight + kClassMargin;
    row.classButton = QRect(left, kRowTop, std::max(0, classRight - left), kRowHeight);
  }
  return row;
}

std::array<QRect, 3> PageButtonRects(bool page1, bool page2, bool page3) {
  std::array<QRect, 3> rects = kPageButtons;
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
    rects[2].moveLeft(rightEdge(rects[1]) + 7);
    break;
  default:
    break;
  }
  return rects;
}

QString ClassCaption(const QString& currentClass, int whole, int kept) {
  if (currentClass.size() <= whole)
    return currentClass;
  return currentClass.left(kept) + QStringLiteral("...");
}

} // namespace dh::shell
