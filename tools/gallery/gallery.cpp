#include "tools/gallery/gallery.h"

#include <QApplication>
#include <QCursor>
#include <QDeadlineTimer>
#include <QPixmap>
#include <QScreen>
#include <QTextStream>
#include <QWidget>

namespace dh::gallery {

QString Gallery::demoPicture(const QString& fileName) {
  return QDir(QStringLiteral(DH_DEMO_PICTURES)).filePath(fileName);
}

void Gallery::showActive(QWidget& window) {
  // Nothing may think it is under the pointer unless a section says so.
  QCursor::setPos(window.screen()->geometry().bottomRight());
  window.show();
  window.activateWindow();
  const QDeadlineTimer deadline(2000);
  while (QApplication::activeWindow() != &window && !deadline.hasExpired())
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  QApplication::processEvents();
}

void Gallery::save(QWidget& widget, const QString& name) {
  const QString path = output_.filePath(name + QStringLiteral(".png"));
  if (widget.grab().save(path))
    return;
  QTextStream(stderr) << "deskhaven-gallery: cannot write " << path << '\n';
  ++failures_;
}

} // namespace dh::gallery
