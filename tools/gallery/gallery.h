// The screenshot gallery: each section builds widgets in the states worth seeing and
// saves them as PNG files into one output folder.
#pragma once

#include <QDir>
#include <QString>

class QWidget;

namespace dh::gallery {

class Gallery {
public:
  explicit Gallery(const QDir& output) : output_(output) {}

  // A demo picture shipped with the system, by file name.
  static QString demoPicture(const QString& fileName);

  // Shows the window offscreen and waits until it is the active one, so that hover and
  // focus behave as they do for a user.
  static void showActive(QWidget& window);

  // Saves the widget's look as <name>.png; a failure is reported and counted.
  void save(QWidget& widget, const QString& name);
  int failures() const { return failures_; }

private:
  QDir output_;
  int failures_ = 0;
};

// One section per kind of widget; add a section here and in main.cpp's table.
void buttonSection(Gallery& gallery);
void helperSection(Gallery& gallery);
void dialogSection(Gallery& gallery);
void menuSection(Gallery& gallery);

} // namespace dh::gallery
