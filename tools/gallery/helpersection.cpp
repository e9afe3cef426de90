// The OnScreen Helper's character with a speech balloon and with a thought balloon, as a
// pupil sees it over the desktop.
#include "tools/gallery/gallery.h"

#include "platform/agent/characterdata.h"
#include "platform/agent/characterwindow.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QTextStream>

namespace dh::gallery {

namespace {

using agent::BalloonKind;
using agent::CharacterData;
using agent::CharacterWindow;

// The character's window is see-through, so it is shown against a plain desktop colour.
void saveOverDesktop(Gallery& gallery, CharacterWindow& window, const QString& name) {
  const QPixmap character = window.grab();
  QPixmap scene(character.size() + QSize(48, 32));
  QPainter painter(&scene);
  QLinearGradient sky(0, 0, 0, scene.height());
  sky.setColorAt(0, QColor(112, 160, 200));
  sky.setColorAt(1, QColor(70, 118, 160));
  painter.fillRect(scene.rect(), sky);
  painter.drawPixmap(24, 16, character);
  painter.end();
  QLabel picture;
  picture.setPixmap(scene);
  picture.resize(scene.size());
  gallery.save(picture, name);
}

} // namespace

void helperSection(Gallery& gallery) {
  QString error;
  const auto pip = CharacterData::load(
      QDir(Gallery::demoPicture(QString())).filePath(QStringLiteral("../character")), &error);
  if (!pip) {
    QTextStream(stderr) << "deskhaven-gallery: " << error << '\n';
    return;
  }
  CharacterWindow window(pip->frameSize());
  window.setCharacterPosition(QPoint(400, 400));

  window.setFrame(pip->speaking()->frames.at(3));
  window.showBalloon(BalloonKind::Speech, QStringLiteral("Welcome to Deskhaven"));
  saveOverDesktop(gallery, window, QStringLiteral("helper-speech"));

  window.setFrame(pip->restingFrame());
  window.showBalloon(BalloonKind::Thought,
                     QStringLiteral("Copy: makes a copy of the files you have chosen"));
  saveOverDesktop(gallery, window, QStringLiteral("helper-thought"));
}

} // namespace dh::gallery
