#include "characterwindow.h"

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
  return QRect(QPoint((width() - frameSize_.width()) / 2, above), frameSize_);
}

void CharacterWindow::relayout() {
  QSize whole = frameSize_;
  if (balloon_) {
    const QSize b = balloon_->size();
    whole = QSize(std::max(whole.width(), b.width()), whole.height() + b.height());
    // A balloon that would leave the top of the screen goes below the character.
    const QScreen* screen = QGuiApplication::screenAt(position_);
    const int top = screen ? screen->availableGeometry().top() : 0;
    balloonBelow_ = position_.y() - b.height() < top;
  }
  const int above = balloon_ && !balloonBelow_ ? balloon_->size().height() : 0;
  setGeometry(QRect(position_ - QPoint((whole.width() - frameSize_.width()) / 2, above), whole));
  update();
}

void CharacterWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.fillRect(rect(), Qt::transparent);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  const QRect frame = frameRect();
  if (!frame_.isNull())
    painter.drawImage(frame.topLeft(), frame_);
  if (!balloon_)
    return;
  const QSize b = balloon_->size();
  const int left = (width() - b.width()) / 2;
  // The tail points at the character's face, a little right of its middle.
  const int tipX = frame.center().x() + frameSize_.width() / 6 - left;
  const int top = balloonBelow_ ? frame.bottom() + 1 : 0;
  balloon_->paint(painter, QPoint(left, top), tipX, balloonBelow_);
}

} // namespace dh::agent
