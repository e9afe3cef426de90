// A help book: one HTML page, a folder of pages with a context map, or a compiled help
// file. It says which page belongs to a numbered help context and, for compiled help,
// hands out the pages, which live inside the file.
#pragma once

#include "platform/help/chmarchive.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QUrl>

#include <optional>

namespace dh::help {

class HelpBook {
public:
  // The file naming a folder's numbered contexts, one "50001=programs.html" a line.
  static constexpr const char* kContextMap = "contexts.map";
  // The scheme of the addresses of pages inside a compiled help file.
  static constexpr const char* kChmScheme = "chm";

  // Fails when the path names nothing readable or a book without pages.
  static std::optional<HelpBook> open(const QString& path, QString* error = nullptr);

  QUrl startPage() const { return start_; }
  // The page of a numbered context; the start page for a context the book does not know.
  QUrl page(quint32 context) const;
  // The bytes behind a page's address, for pages inside a compiled help file.
  std::optional<QByteArray> read(const QUrl& url) const;

private:
  static std::optional<HelpBook> openFolder(const QString& path, QString* error);
  static std::optional<HelpBook> openChm(const QString& path, QString* error);

  QUrl start_;
  QHash<quint32, QUrl> contexts_;
  std::optional<ChmArchive> chm_;
};

} // namespace dh::help
