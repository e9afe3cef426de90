#include "sitebook/linkaddress.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace dh::sitebook {

namespace {

// A scheme is a name and a colon; "localhost:8080" is a host and its port.
bool hasScheme(const QString& text) {
  static const QRegularExpression kScheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:(?![0-9])"));
  return kScheme.match(text).hasMatch();
}

} // namespace

QUrl linkAddress(const QString& address, const QString& folder) {
  const QString text = address.trimmed();
  if (text.isEmpty())
    return {}; // never the folder itself, whose listing would open the file system
  if (QDir::isAbsolutePath(text))
    return QUrl::fromLocalFile(QDir::cleanPath(text));
  if (hasScheme(text))
    return QUrl::fromUserInput(text);
  const QFileInfo local(QDir(folder), text);
  if (local.exists())
    return QUrl::fromLocalFile(local.absoluteFilePath());
  return QUrl::fromUserInput(QStringLiteral("https://") + text);
}

QUrl plainLinkAddress(const QString& address, const QString& folder) {
  QUrl url = linkAddress(address, folder);
  if (url.scheme() != QLatin1String("https") || hasScheme(address.trimmed()))
    return {};
  url.setScheme(QStringLiteral("http"));
  return url;
}

} // namespace dh::sitebook
