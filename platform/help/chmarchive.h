// A compiled help file (.chm) read through chmlib: its pages and its own map from
// numbered help contexts to topics.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <memory>
#include <optional>

struct chmFile;

namespace dh::help {

class ChmArchive {
public:
  static std::optional<ChmArchive> open(const QString& path);

  // The bytes of an object ("/programs.html"); nothing when the archive has none.
  std::optional<QByteArray> read(const QString& objectPath) const;
  // The topic the archive's author gave as its start page, or its first page.
  QString defaultTopic() const;
  // The topic of a numbered context, empty when the archive does not map it.
  QString topic(quint32 context) const;

private:
  struct Closer {
    void operator()(chmFile* file) const;
  };
  explicit ChmArchive(chmFile* file);
  void readContextMap();

  std::shared_ptr<chmFile> file_;
  QHash<quint32, QString> contexts_;
};

} // namespace dh::help
