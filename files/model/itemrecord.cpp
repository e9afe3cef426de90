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

std::uint64_t SizeInKb(std::uint64_t bytes) {
  if (bytes == 0)
    return 0;
  return bytes < 1000 ? 1 : bytes / 1024;
}

QString SizeText(std::uint64_t kb) {
  return QStringLiteral("%1 Kb").arg(kb);
}

QString ScreenName(const std::string& name) {
  QString text = QFile::decodeName(QByteArray::fromStdString(name));
  for (QChar& c : text) {
    if (c.category() == QChar::Other_Control)
      c = QChar::ReplacementCharacter;
  }
  return text;
}

QString DisplayName(const ItemRecord& item) {
  QString text = ScreenName(item.name);
  const qsizetype dot = text.lastIndexOf(QLatin1Char('.'));
  if (!item.folder && dot >= 1)
    text.truncate(dot);
  return text;
}

QString DateText(std::int64_t lastWrite) {
  return QLocale(QLocale::English)
      .toString(QDateTime::fromSecsSinceEpoch(lastWrite), QStringLiteral("dd MMMM yyyy, hh:mm:ss"));
}

QString SelectionCaption(const std::vector<const ItemRecord*>& selected,
                         const QString& folderCaption) {
  if (selected.size() > 1)
    return QStringLiteral("%1 Objects Selected").arg(selected.size());
  if (selected.empty())
    return folderCaption;
  const ItemRecord& item = *selected.front();
  QString name = ScreenName(item.name);
  if (name.size() > kLongestCaptionName)
    name = name.left(kKeptCaptionName) + QStringLiteral("...");
  const QDateTime written = QDateTime::fromSecsSinceEpoch(item.lastWrite);
  const QString date =
      written.isValid() ? QLocale::c().toString(written, QStringLiteral("d\\M\\yyyy 'at' hh:mm:ss"))
                        : QStringLiteral("Not Available");
  return QStringLiteral("Current File: ") + name + kGap + QStringLiteral("Size: ") +
         SizeText(item.sizeKb) + kGap + QStringLiteral("Type: ") + item.typeName + kGap +
         QStringLiteral("Last Modified on: ") + date;
}

bool ItemBefore(const ItemRecord& a, const ItemRecord& b, SortKey key) {
  switch (key) {
  case SortKey::Name:
    return DisplayName(a).compare(DisplayName(b), Qt::CaseInsensitive) < 0;
  case SortKey::Size:
    return a.sizeKb < b.sizeKb;
  case SortKey::Type:
    return a.typeName.compare(b.typeName, Qt::CaseInsensitive) < 0;
  case SortKey::Date:
    return a.lastWrite < b.lastWrite;
  }
  return false;
}

void SortItems(std::vector<ItemRecord>& items, SortKey key, bool ascending) {
  std::stable_sort(items.begin(), items.end(), [&](const ItemRecord& a, const ItemRecord& b) {
    return ascending ? ItemBefore(a, b, key) : ItemBefore(b, a, key);
  });
}

bool PrintAllowed(const std::string& name, const QString& printFileTypes) {
  const QString text = ScreenName(name);
  const qsizetype dot = text.lastIndexOf(QLatin1Char('.'));
  const QString extension = dot >= 0 ? text.mid(dot) : text;
  return !printFileTypes.contains(extension, Qt::CaseSensitive);
}

bool IsPrintable(const std::string& name) {
  return PrintAllowed(name, QString::fromStdString(dh::ReadSetting(dh::setting::kPrintFileTypes)));
}

} // namespace dh::files
