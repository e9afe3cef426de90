#include "common/ui/pageplaces.h"

namespace dh::pageplace {
namespace {
constexpr int kRightMargin = 12;
constexpr int kBottomMargin = 65;
} // namespace

Frames stretchFrames(QSize form, bool sidePanelShown) {
  const int right = form.width() - 1 - kRightMargin;
  const int bottom = form.height() - 1 - kBottomMargin;
  Frames frames{kToolBarFrame, kSidePanelFrame, kPageLine, kPageArea};
  frames.toolBar.setRight(right);
  frames.sidePanel.setBottom(bottom);
  const int left = sidePanelShown ? kPageArea.left() : kSidePanelFrame.left();
  frames.pageLine.setLeft(left);
  frames.pageLine.setRight(right);
  frames.pageArea.setLeft(left);
  frames.pageArea.setRight(right);
  frames.pageArea.setBottom(bottom);
  return frames;
}

} // namespace dh::pageplace
