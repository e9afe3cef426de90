// A temporary folder tree for one test: files with chosen contents and times, folders,
// symbolic links and folder shortcuts (Desktop.ini beside a Target.lnk), all removed
// with the object. Paths are relative to the tree's top unless they begin with "/".
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QTemporaryDir>

#include <string>

class TestDir {
public:
  TestDir();

  QString path(const QString& relative = {}) const;
  // The same as bytes, as the file system spells it.
  std::string bytes(const QString& relative = {}) const;

  // Each creates the folders above it as needed and returns the full path.
  QString file(const QString& relative, const QByteArray& contents = {},
               const QDateTime& written = {});
  QString folder(const QString& relative);
  QString link(const QString& relative, const QString& target);
  QString folderShortcut(const QString& relative, const QString& target);

  // Gives a path (not following a link) to another account, as an administrator's
  // files are.
  void giveAway(const QString& relative);
  // Gives the whole tree, its top included, to the account that runUnprivileged runs as,
  // as a pupil's own files are.
  void giveToPupil();

private:
  QTemporaryDir dir_;
};

// The bytes of a shell link (.lnk) file whose local path is target.
QByteArray shellLink(const QByteArray& target);
