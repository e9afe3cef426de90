// The themed image button: under the pointer or pressed it shows its hover background
// inside a light grey outline, square or with rounded corners.
#pragma once

#include "common/ui/buttonst.h"

namespace dh {

class CWinXPButtonST : public CButtonST {
  Q_OBJECT

public:
  using CButtonST::CButtonST;

  void SetRoundedFrame(bool rounded, bool repaint = true);

protected:
  void PaintBackground(QPainter& painter, const QRect& rect, const Look& look) override;
  qreal cornerRadius() const override { return rounded_ ? 4.0 : 0.0; }

private:
  bool rounded_ = false;
};

} // namespace dh
