#include "sitebook/linkaddress.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace dh::sitebook {

QUrl linkAddress(const QString& address, const QString& folder) {
  const QString text = address.trimmed();
  if (text.isEmpty())
    return {}; // never the folder itself, whose listing would open the file system
  if (QDir::isAbsolutePath(text))
    return QUrl::fromLocalFile(QDir::cleanPath(text));
  // A scheme is a name and a colon; "localhost:8080" is a host and its port.
  static const QRegularExpression kScheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:(?![0-9])"));
  if (kScheme.match(text).hasMatch())
    return QUrl::fromUserInput(text);
  const QFileInfo local(QDir(folder), text);
  if (local.exists())
    return QUrl::fromLocalFile(local.absoluteFilePath());
  return QUrl::fromUserInput(QStringLiteral("https://") + text);
}

} // namespace dh::sitebook
