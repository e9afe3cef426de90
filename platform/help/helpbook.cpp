#include "platform/help/helpbook.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace dh::help {

namespace {

std::optional<HelpBook> failed(QString* error, const QString& why) {
  if (error)
    *error = why;
  return std::nullopt;
}

QUrl chmUrl(const QString& topic) {
  QUrl url;
  url.setScheme(HelpBook::kChmScheme);
  url.setPath(topic);
  return url;
}

} // namespace

std::optional<HelpBook> HelpBook::open(const QString& path, QString* error) {
  const QFileInfo info(path);
  if (path.isEmpty() || !info.exists())
    return failed(error, QStringLiteral("%1 does not exist").arg(path));
  if (info.isDir())
    return openFolder(path, error);
  if (info.suffix().compare("chm", Qt::CaseInsensitive) == 0)
    return openChm(path, error);
  QFile page(path);
  if (!page.open(QIODevice::ReadOnly))
    return failed(error, QStringLiteral("%1: %2").arg(path, page.errorString()));
  HelpBook book;
  book.start_ = QUrl::fromLocalFile(info.absoluteFilePath());
  return book;
}

std::optional<HelpBook> HelpBook::openFolder(const QString& path, QString* error) {
  const QDir folder(path);
  HelpBook book;
  QUrl firstMapped;
  QFile map(folder.filePath(kContextMap));
  if (map.open(QIODevice::ReadOnly | QIODevice::Text)) {
    QTextStream in(&map);
    while (!in.atEnd()) {
      const QString line = in.readLine().trimmed();
      const qsizetype eq = line.indexOf('=');
      if (line.isEmpty() || line.startsWith('#') || eq < 0)
        continue;
      bool ok = false;
      const quint32 context = line.left(eq).trimmed().toUInt(&ok);
      const QString page = folder.filePath(line.mid(eq + 1).trimmed());
      // A line that names no readable page is passed over; its context opens the start.
      if (!ok || !QFileInfo(page).isFile() || !QFileInfo(page).isReadable())
        continue;
      book.contexts_.insert(context, QUrl::fromLocalFile(QFileInfo(page).absoluteFilePath()));
      if (firstMapped.isEmpty())
        firstMapped = book.contexts_.value(context);
    }
  } else if (map.exists()) {
    return failed(error, QStringLiteral("%1: %2").arg(map.fileName(), map.errorString()));
  }
  for (const char* index : {"index.html", "index.htm"}) {
    if (QFileInfo(folder.filePath(index)).isReadable()) {
      book.start_ = QUrl::fromLocalFile(QFileInfo(folder.filePath(index)).absoluteFilePath());
      break;
    }
  }
  if (book.start_.isEmpty())
    book.start_ = firstMapped;
  if (book.start_.isEmpty())
    return failed(error, QStringLiteral("%1 holds no help pages").arg(path));
  return book;
}

std::optional<HelpBook> HelpBook::openChm(const QString& path, QString* error) {
  auto archive = ChmArchive::open(path);
  if (!archive)
    return failed(error, QStringLiteral("%1 is not a readable compiled help file").arg(path));
  const QString start = archive->defaultTopic();
  if (start.isEmpty())
    return failed(error, QStringLiteral("%1 has no start page").arg(path));
  HelpBook book;
  book.start_ = chmUrl(start);
  book.chm_ = std::move(archive);
  return book;
}

QUrl HelpBook::page(quint32 context) const {
  if (chm_) {
    const QString topic = chm_->topic(context);
    return topic.isEmpty() ? start_ : chmUrl(topic);
  }
  return contexts_.value(context, start_);
}

std::optional<QByteArray> HelpBook::read(const QUrl& url) const {
  if (!chm_ || url.scheme() != kChmScheme)
    return std::nullopt;
  return chm_->read(url.path());
}

} // namespace dh::help
