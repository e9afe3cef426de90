#include "platform/agent/balloon.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace dh::agent {

namespace {

constexpr int kMaxTextWidth = 220;
constexpr int kPadding = 10;
constexpr int kTailLength = 20;
constexpr qreal kRadius = 10;
constexpr qreal kThoughtRadius = 18;
const QColor kFill(255, 253, 240);
const QColor kOutline(60, 60, 70);
const QColor kInk(30, 30, 40);

int alignment() {
  return Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
}

} // namespace

Balloon::Balloon(BalloonKind kind, const QString& text, const QFont& font)
    : kind_(kind), text_(text), font_(font) {
  const QFontMetrics metrics(font_);
  const QRect bounds = metrics.boundingRect(QRect(0, 0, kMaxTextWidth, 10000), alignment(), text_);
  // Thought boxes are rounder, so they keep a little more room around the words.
  const int pad = kind_ == BalloonKind::Thought ? kPadding + 4 : kPadding;
  textRect_ = QRect(pad, pad, std::max(bounds.width(), 24), std::max(bounds.height(), 1));
}

QSize Balloon::size() const {
  const int pad = textRect_.left();
  return QSize(textRect_.width() + 2 * pad + 2, textRect_.height() + 2 * pad + 2 + kTailLength);
}

void Balloon::paint(QPainter& painter, QPoint origin, int tipX, bool tailUp) const {
  const QSize whole = size();
  const int boxTop = origin.y() + (tailUp ? kTailLength : 0);
  const QRectF box(origin.x() + 1, boxTop + 1, whole.width() - 2, whole.height() - kTailLength - 2);
  const qreal tip = origin.x() + std::clamp(tipX, 12, whole.width() - 12);
  const qreal edge = tailUp ? box.top() : box.bottom();
  const qreal end = tailUp ? origin.y() : origin.y() + whole.height();
  const qreal toward = tailUp ? -1 : 1;

  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(kOutline, 1.5));
  painter.setBrush(kFill);
  QPainterPath outline;
  if (kind_ == BalloonKind::Speech) {
    outline.addRoundedRect(box, kRadius, kRadius);
    // The tail leans from a base beside the tip, like a hand-drawn comic balloon.
    const qreal baseLeft = std::clamp(tip + 4, box.left() + kRadius, box.right() - kRadius - 14);
    QPainterPath tail;
    tail.moveTo(baseLeft, edge - toward * 2);
    tail.lineTo(tip, end);
    tail.lineTo(baseLeft + 14, edge - toward * 2);
    tail.closeSubpath();
    outline = outline.united(tail);
  } else {
    outline.addRoundedRect(box, kThoughtRadius, kThoughtRadius);
    for (auto [along, r] : {std::pair{0.25, 5.0}, {0.6, 3.5}, {0.9, 2.0}}) {
      const QPointF centre(tip + (1 - along) * 8, edge + toward * along * kTailLength);
      painter.drawEllipse(centre, r, r);
    }
  }
  painter.drawPath(outline.simplified());
  painter.setPen(kInk);
  painter.setFont(font_);
  painter.drawText(textRect_.translated(box.topLeft().toPoint()), alignment(), text_);
  painter.restore();
}

int Balloon::readingMs(const QString& text) {
  return std::clamp(1500 + 60 * static_cast<int>(text.size()), 2500, 12000);
}

} // namespace dh::agent
