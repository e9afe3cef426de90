#include "platform/agent/characterwindow.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <algorithm>

namespace dh::agent {

CharacterWindow::CharacterWindow(QSize frameSize)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput),
      frameSize_(frameSize) {
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  QFont balloonFont = font();
  balloonFont.setPointSizeF(std::max(10.0, balloonFont.pointSizeF()));
  setFont(balloonFont);
  relayout();
}

void CharacterWindow::setFrame(const QImage& frame) {
  frame_ = frame;
  updateShape();
  update();
}

void CharacterWindow::setCharacterPosition(QPoint position) {
  position_ = position;
  relayout();
}

void CharacterWindow::showBalloon(BalloonKind kind, const QString& text) {
  balloon_.emplace(kind, text, font());
  relayout();
}

void CharacterWindow::clearBalloon() {
  balloon_.reset();
  relayout();
}

QRect CharacterWindow::frameRect() const {
  const int above = balloon_ && !balloonBelow_ ? balloon_->size().height() : 0;
  return QRect(QPoint(frameX_, above), frameSize_);
}

void CharacterWindow::relayout() {
  const QScreen* screen = QGuiApplication::screenAt(position_);
  const QRect available = screen ? screen->availableGeometry() : QRect();
  int left = position_.x();
  int right = position_.x() + frameSize_.width();
  int height = frameSize_.height();
  int balloonLeft = left;
  if (balloon_) {
    const QSize b = balloon_->size();
    // Centred over the character, but never past the screen's sides or top: a balloon
    // that would leave the top goes below the character.
    balloonLeft = position_.x() + (frameSize_.width() - b.width()) / 2;
    if (screen)
      balloonLeft =
          std::max(available.left(), std::min(balloonLeft, available.right() + 1 - b.width()));
    left = std::min(left, balloonLeft);
    right = std::max(right, balloonLeft + b.width());
    height += b.height();
    balloonBelow_ = screen && position_.y() - b.height() < available.top();
  }
  frameX_ = position_.x() - left;
  balloonX_ = balloonLeft - left;
  const int above = balloon_ && !balloonBelow_ ? balloon_->size().height() : 0;
  setGeometry(QRect(left, position_.y() - above, right - left, height));
  updateShape();
  update();
}

// Without a compositing manager (a pupils' session has none) a translucent window shows
// black where it is transparent; shaping the window to what it draws works with or
// without one.
void CharacterWindow::updateShape() {
  QImage image(size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  render(painter);
  painter.end();
  setMask(QBitmap::fromImage(image.createAlphaMask()));
}

void CharacterWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.fillRect(rect(), Qt::transparent);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  render(painter);
}

void CharacterWindow::render(QPainter& painter) const {
  const QRect frame = frameRect();
  if (!frame_.isNull())
    painter.drawImage(frame.topLeft(), frame_);
  if (!balloon_)
    return;
  // The tail points at the character's face, a little right of its middle.
  const int tipX = frame.center().x() + frameSize_.width() / 6 - balloonX_;
  const int top = balloonBelow_ ? frame.bottom() + 1 : 0;
  balloon_->paint(painter, QPoint(balloonX_, top), tipX, balloonBelow_);
}

} // namespace dh::agent
