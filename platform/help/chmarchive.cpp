#include "platform/help/chmarchive.h"

#include <QFile>
#include <QtEndian>

#include <chm_lib.h>

namespace dh::help {

namespace {

constexpr qint64 kMaxObject = 64 * 1024 * 1024;
constexpr quint16 kSystemDefaultTopic = 2;

QString normalised(const QString& topic) {
  return topic.startsWith('/') ? topic : '/' + topic;
}

} // namespace

void ChmArchive::Closer::operator()(chmFile* file) const {
  chm_close(file);
}

ChmArchive::ChmArchive(chmFile* file) : file_(file, Closer{}) {}

std::optional<ChmArchive> ChmArchive::open(const QString& path) {
  chmFile* file = chm_open(QFile::encodeName(path).constData());
  if (!file)
    return std::nullopt;
  ChmArchive archive(file);
  archive.readContextMap();
  return archive;
}

std::optional<QByteArray> ChmArchive::read(const QString& objectPath) const {
  chmUnitInfo unit{};
  const QByteArray name = normalised(objectPath).toUtf8();
  if (chm_resolve_object(file_.get(), name.constData(), &unit) != CHM_RESOLVE_SUCCESS ||
      static_cast<qint64>(unit.length) > kMaxObject)
    return std::nullopt;
  QByteArray bytes(static_cast<qsizetype>(unit.length), '\0');
  const auto got =
      chm_retrieve_object(file_.get(), &unit, reinterpret_cast<unsigned char*>(bytes.data()), 0,
                          static_cast<LONGINT64>(unit.length));
  if (got != static_cast<LONGINT64>(unit.length))
    return std::nullopt;
  return bytes;
}

// The compiler turns the project's context map into two system files: "#IVB" holds
// pairs of (context number, offset into "#STRINGS"), and "#STRINGS" holds the topic
// names. A pair whose name is not a page of the archive is left out.
void ChmArchive::readContextMap() {
  const auto ivb = read("/#IVB");
  const auto strings = read("/#STRINGS");
  if (!ivb || !strings || ivb->size() < 4)
    return;
  const auto* data = reinterpret_cast<const uchar*>(ivb->constData());
  const qsizetype pairsEnd = std::min<qsizetype>(ivb->size(), 4 + qFromLittleEndian<quint32>(data));
  for (qsizetype at = 4; at + 8 <= pairsEnd; at += 8) {
    const quint32 context = qFromLittleEndian<quint32>(data + at);
    const quint32 offset = qFromLittleEndian<quint32>(data + at + 4);
    if (offset >= static_cast<quint32>(strings->size()))
      continue;
    const QString topic = QString::fromUtf8(strings->constData() + offset);
    if (!topic.isEmpty() && read(topic))
      contexts_.insert(context, normalised(topic));
  }
}

QString ChmArchive::defaultTopic() const {
  // "#SYSTEM": a version word, then records of (code, length, data).
  if (const auto system = read("/#SYSTEM")) {
    const auto* data = reinterpret_cast<const uchar*>(system->constData());
    for (qsizetype at = 4; at + 4 <= system->size();) {
      const quint16 code = qFromLittleEndian<quint16>(data + at);
      const quint16 length = qFromLittleEndian<quint16>(data + at + 2);
      if (at + 4 + length > system->size())
        break;
      if (code == kSystemDefaultTopic) {
        const QString topic = QString::fromUtf8(system->constData() + at + 4,
                                                qstrnlen(system->constData() + at + 4, length));
        if (!topic.isEmpty() && read(topic))
          return normalised(topic);
      }
      at += 4 + length;
    }
  }
  for (const char* guess : {"/index.html", "/index.htm", "/default.html", "/default.htm"}) {
    if (read(guess))
      return guess;
  }
  return {};
}

QString ChmArchive::topic(quint32 context) const {
  return contexts_.value(context);
}

} // namespace dh::help
