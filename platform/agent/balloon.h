// The word balloon over a character: a rounded box with the words, joined to the
// character by a pointed tail (speech) or by a trail of shrinking circles (thought).
#pragma once

#include <QFont>
#include <QRect>
#include <QString>

class QPainter;

namespace dh::agent {

enum class BalloonKind { Speech, Thought };

class Balloon {
public:
  Balloon(BalloonKind kind, const QString& text, const QFont& font);

  BalloonKind kind() const { return kind_; }
  QString text() const { return text_; }
  // Box and tail together.
  QSize size() const;
  // Paints the balloon with its top-left corner at origin. The tail ends at tipX (from
  // the balloon's left edge) below the box, or above it when tailUp is set.
  void paint(QPainter& painter, QPoint origin, int tipX, bool tailUp) const;

  // How long a balloon with this text stays: long enough to read it aloud slowly.
  static int readingMs(const QString& text);

private:
  BalloonKind kind_;
  QString text_;
  QFont font_;
  QRect textRect_; // the wrapped text, relative to the box
};

} // namespace dh::agent
