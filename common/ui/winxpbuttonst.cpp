#include "common/ui/winxpbuttonst.h"

#include <QPainter>

namespace dh {

void CWinXPButtonST::SetRoundedFrame(bool rounded, bool repaint) {
  rounded_ = rounded;
  if (repaint)
    update();
}

void CWinXPButtonST::PaintBackground(QPainter& painter, const QRect& rect, const Look& look) {
  if (!look.hovered && !look.pressed) {
    CButtonST::PaintBackground(painter, rect, look);
    return;
  }
  painter.save();
  painter.setBrush(getStateColor(HoverBackground));
  painter.setPen(QPen(QColor(178, 178, 178), 1));
  painter.drawRoundedRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius(),
                          cornerRadius());
  painter.restore();
}

} // namespace dh
