// The character on screen: a frameless, translucent window above every other window that
// draws the current frame and, while the character talks, its balloon. It takes no
// input and no focus, so it never stands in a pupil's way.
#pragma once

#include "platform/agent/balloon.h"

#include <QImage>
#include <QWidget>

class QPainter;

#include <optional>

namespace dh::agent {

class CharacterWindow : public QWidget {
  Q_OBJECT

public:
  explicit CharacterWindow(QSize frameSize);

  void setFrame(const QImage& frame);
  // Where the character's frame (not the balloon) has its top-left corner on screen.
  void setCharacterPosition(QPoint position);
  QPoint characterPosition() const { return position_; }
  void showBalloon(BalloonKind kind, const QString& text);
  void clearBalloon();
  const std::optional<Balloon>& balloon() const { return balloon_; }

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  void relayout();
  void updateShape();
  void render(QPainter& painter) const;
  QRect frameRect() const;

  QSize frameSize_;
  QImage frame_;
  QPoint position_;
  std::optional<Balloon> balloon_;
  bool balloonBelow_ = false;
  int frameX_ = 0; // where the frame and the balloon start inside the window
  int balloonX_ = 0;
};

} // namespace dh::agent
