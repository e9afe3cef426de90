#include "tests/support/testdir.h"

#include <QDirIterator>

#include "tests/support/testfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <unistd.h>

namespace {

void appendNumber(QByteArray& bytes, quint32 value, int size) {
  for (int at = 0; at < size; ++at)
    bytes.append(char((value >> (8 * at)) & 0xff));
}

void ensureParent(const QString& path) {
  QDir().mkpath(QFileInfo(path).path());
}

} // namespace

QByteArray shellLink(const QByteArray& target) {
  QByteArray link;
  appendNumber(link, 0x4C, 4); // header size
  link.append(QByteArray::fromHex("0114020000000000c000000000000046"));
  appendNumber(link, 0x2, 4);  // has link info
  appendNumber(link, 0x10, 4); // a folder
  link.append(QByteArray(24, '\0'));
  appendNumber(link, 0, 4); // size
  appendNumber(link, 0, 4); // icon
  appendNumber(link, 1, 4); // shown normally
  link.append(QByteArray(12, '\0'));
  // Link info: header, a volume id with an empty label, the local path, an empty suffix.
  const quint32 header = 0x1C;
  const quint32 volume = 0x11;
  const quint32 localPath = header + volume;
  const quint32 suffix = localPath + quint32(target.size()) + 1;
  const quint32 size = suffix + 1;
  appendNumber(link, size, 4);
  appendNumber(link, header, 4);
  appendNumber(link, 0x1, 4); // volume id and local path
  appendNumber(link, header, 4);
  appendNumber(link, localPath, 4);
  appendNumber(link, 0, 4);
  appendNumber(link, suffix, 4);
  appendNumber(link, volume, 4);
  appendNumber(link, 3, 4); // a fixed drive
  appendNumber(link, 0, 4);
  appendNumber(link, 0x10, 4);
  link.append('\0');
  link.append(target).append('\0');
  link.append('\0');
  appendNumber(link, 0, 4); // no extra data
  return link;
}

TestDir::TestDir() {
  if (!dir_.isValid())
    qFatal("TestDir: no temporary folder");
}

QString TestDir::path(const QString& relative) const {
  if (relative.startsWith(QLatin1Char('/')))
    return relative;
  return relative.isEmpty() ? dir_.path() : dir_.filePath(relative);
}

std::string TestDir::bytes(const QString& relative) const {
  return QFile::encodeName(path(relative)).toStdString();
}

QString TestDir::file(const QString& relative, const QByteArray& contents,
                      const QDateTime& written) {
  const QString full = path(relative);
  ensureParent(full);
  if (!writeFile(full, contents))
    qFatal("TestDir: cannot write %s", qPrintable(full));
  if (written.isValid()) {
    QFile file(full);
    if (!file.open(QIODevice::ReadWrite) ||
        !file.setFileTime(written, QFileDevice::FileModificationTime))
      qFatal("TestDir: cannot date %s", qPrintable(full));
  }
  return full;
}

QString TestDir::folder(const QString& relative) {
  const QString full = path(relative);
  if (!QDir().mkpath(full))
    qFatal("TestDir: cannot make %s", qPrintable(full));
  return full;
}

QString TestDir::link(const QString& relative, const QString& target) {
  const QString full = path(relative);
  ensureParent(full);
  if (symlink(QFile::encodeName(path(target)).constData(), QFile::encodeName(full).constData()))
    qFatal("TestDir: cannot link %s", qPrintable(full));
  return full;
}

QString TestDir::folderShortcut(const QString& relative, const QString& target) {
  const QString full = folder(relative);
  file(relative + QStringLiteral("/Desktop.ini"), "[.ShellClassInfo]\r\n");
  file(relative + QStringLiteral("/Target.lnk"), shellLink(QFile::encodeName(path(target))));
  return full;
}

void TestDir::giveAway(const QString& relative) {
  const uid_t other = geteuid() == 65534 ? 65533 : 65534;
  if (lchown(QFile::encodeName(path(relative)).constData(), other, other) != 0)
    qFatal("TestDir: cannot give %s away", qPrintable(relative));
}

void TestDir::giveToPupil() {
  const uid_t pupil = geteuid() == 0 ? 65534 : geteuid();
  QDirIterator it(path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    if (lchown(QFile::encodeName(it.next()).constData(), pupil, pupil) != 0)
      qFatal("TestDir: cannot give the tree to the pupil");
  }
  if (lchown(QFile::encodeName(path()).constData(), pupil, pupil) != 0)
    qFatal("TestDir: cannot give the tree to the pupil");
}
