#include "files/model/itemrecord.h"

#include "common/settings.h"

#include <QFile>
#include <QLocale>

#include <algorithm>

namespace dh::files {

namespace {
constexpr qsizetype kLongestCaptionName = 25;
constexpr qsizetype kKeptCaptionName = 22;
const QString kGap = QStringLiteral("      ");
} // namespace

std::uint64_t sizeInKb(std::uint64_t bytes) {
  if (bytes == 0)
    return 0;
  return bytes < 1000 ? 1 : bytes / 1024;
}

QString sizeText(std::uint64_t kb) {
  return QStringLiteral("%1 Kb").arg(kb);
}

QString screenName(const std::string& name) {
  QString text = QFile::decodeName(QByteArray::fromStdString(name));
  for (QChar& c : text) {
    if (c.category() == QChar::Other_Control)
      c = QChar::ReplacementCharacter;
  }
  return text;
}

QString displayName(const ItemRecord& item) {
  QString text = screenName(item.name);
  const qsizetype dot = text.lastIndexOf(QLatin1Char('.'));
  if (!item.folder && dot >= 1)
    text.truncate(dot);
  return text;
}

QString dateText(std::int64_t lastWrite) {
  return QLocale(QLocale::English)
      .toString(QDateTime::fromSecsSinceEpoch(lastWrite), QStringLiteral("dd MMMM yyyy, hh:mm:ss"));
}

QString selectionCaption(const std::vector<const ItemRecord*>& selected,
                         const QString& folderCaption) {
  if (selected.size() > 1)
    return QStringLiteral("%1 Objects Selected").arg(selected.size());
  if (selected.empty())
    return folderCaption;
  const ItemRecord& item = *selected.front();
  QString name = screenName(item.name);
  if (name.size() > kLongestCaptionName)
    name = name.left(kKeptCaptionName) + QStringLiteral("...");
  const QDateTime written = QDateTime::fromSecsSinceEpoch(item.lastWrite);
  const QString date =
      written.isValid() ? QLocale::c().toString(written, QStringLiteral("d\\M\\yyyy 'at' hh:mm:ss"))
                        : QStringLiteral("Not Available");
  return QStringLiteral("Current File: ") + name + kGap + QStringLiteral("Size: ") +
         sizeText(item.sizeKb) + kGap + QStringLiteral("Type: ") + item.typeName + kGap +
         QStringLiteral("Last Modified on: ") + date;
}

bool itemBefore(const ItemRecord& a, const ItemRecord& b, SortKey key) {
  switch (key) {
  case SortKey::Name:
    return displayName(a).compare(displayName(b), Qt::CaseInsensitive) < 0;
  case SortKey::Size:
    return a.sizeKb < b.sizeKb;
  case SortKey::Type:
    return a.typeName.compare(b.typeName, Qt::CaseInsensitive) < 0;
  case SortKey::Date:
    return a.lastWrite < b.lastWrite;
  }
  return false;
}

void sortItems(std::vector<ItemRecord>& items, SortKey key, bool ascending) {
  std::stable_sort(items.begin(), items.end(), [&](const ItemRecord& a, const ItemRecord& b) {
    return ascending ? itemBefore(a, b, key) : itemBefore(b, a, key);
  });
}

bool printAllowed(const std::string& name, const QString& printFileTypes) {
  const QString text = screenName(name);
  const qsizetype dot = text.lastIndexOf(QLatin1Char('.'));
  const QString extension = dot >= 0 ? text.mid(dot) : text;
  return !printFileTypes.contains(extension, Qt::CaseSensitive);
}

bool IsPrintable(const std::string& name) {
  return printAllowed(name, QString::fromStdString(dh::readSetting(dh::setting::kPrintFileTypes)));
}

} // namespace dh::files
