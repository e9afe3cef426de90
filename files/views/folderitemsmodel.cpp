#include "files/views/folderitemsmodel.h"

#include <QApplication>
#include <QHash>
#include <QMimeDatabase>
#include <QStyle>

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace dh::files {

int FolderItemsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(items_.size());
}

int FolderItemsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumns;
}

QVariant FolderItemsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= int(items_.size()))
    return {};
  const ItemRecord& item = items_[std::size_t(index.row())];
  const auto column = SortKey(index.column());
  switch (role) {
  case Qt::DisplayRole:
    switch (column) {
    case SortKey::Name:
      return displayName(item);
    case SortKey::Size:
      return sizeText(item.sizeKb);
    case SortKey::Type:
      return item.typeName;
    case SortKey::Date:
      return dateText(item.lastWrite);
    }
    break;
  case Qt::DecorationRole:
    if (column == SortKey::Name)
      return typeIcon(item.mimeName);
    break;
  case Qt::BackgroundRole:
    if (index.row() == dropTarget_)
      return QGuiApplication::palette().highlight();
    break;
  case Qt::ForegroundRole:
    if (index.row() == dropTarget_)
      return QGuiApplication::palette().highlightedText();
    break;
  case Qt::TextAlignmentRole:
    if (column == SortKey::Size)
      return int(Qt::AlignRight | Qt::AlignVCenter);
    break;
  }
  return {};
}

void FolderItemsModel::setDropTarget(int row) {
  const int before = std::exchange(dropTarget_, row);
  for (int changed : {before, row}) {
    if (changed >= 0 && changed < rowCount() && before != row)
      emit dataChanged(index(changed, 0), index(changed, kColumns - 1));
  }
}

QVariant FolderItemsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  static const char* const kHeadings[kColumns] = {"File Name", "Size", "File Type",
                                                  "Date Modified"};
  if (orientation != Qt::Horizontal || section < 0 || section >= kColumns)
    return {};
  if (role == Qt::DisplayRole)
    return QString::fromLatin1(kHeadings[section]);
  if (role == Qt::TextAlignmentRole)
    return int((section == 1 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
  return {};
}

void FolderItemsModel::setItems(std::vector<ItemRecord> items) {
  beginResetModel();
  items_ = std::move(items);
  key_ = SortKey::Name;
  ascending_ = true;
  endResetModel();
}

void FolderItemsModel::merge(std::vector<ItemRecord> items) {
  std::unordered_map<std::string, const ItemRecord*> fresh;
  for (const ItemRecord& item : items)
    fresh.emplace(item.fullPath, &item);
  for (int row = int(items_.size()) - 1; row >= 0; --row) {
    const ItemRecord& old = items_[std::size_t(row)];
    const auto found = fresh.find(old.fullPath);
    const bool kept = found != fresh.end() && found->second->folder == old.folder &&
                      (old.folder || (found->second->lastWrite == old.lastWrite &&
                                      found->second->sizeKb == old.sizeKb));
    if (kept)
      continue;
    beginRemoveRows({}, row, row);
    items_.erase(items_.begin() + row);
    endRemoveRows();
  }
  std::unordered_set<std::string> present;
  for (const ItemRecord& item : items_)
    present.insert(item.fullPath);
  for (ItemRecord& item : items) {
    if (present.count(item.fullPath))
      continue;
    const auto before = [this](const ItemRecord& a, const ItemRecord& b) {
      return ascending_ ? itemBefore(a, b, key_) : itemBefore(b, a, key_);
    };
    const int row =
        int(std::upper_bound(items_.begin(), items_.end(), item, before) - items_.begin());
    beginInsertRows({}, row, row);
    items_.insert(items_.begin() + row, std::move(item));
    endInsertRows();
  }
}

void FolderItemsModel::sortBy(SortKey key, bool ascending) {
  emit layoutAboutToBeChanged();
  const QModelIndexList before = persistentIndexList();
  std::vector<std::string> paths;
  for (const QModelIndex& index : before)
    paths.push_back(items_[std::size_t(index.row())].fullPath);
  key_ = key;
  ascending_ = ascending;
  sortItems(items_, key, ascending);
  QModelIndexList after;
  for (std::size_t at = 0; at < paths.size(); ++at)
    after.append(index(rowOf(paths[at]), before[qsizetype(at)].column()));
  changePersistentIndexList(before, after);
  emit layoutChanged();
}

int FolderItemsModel::rowOf(const std::string& fullPath) const {
  const auto found = std::find_if(items_.begin(), items_.end(), [&](const ItemRecord& item) {
    return item.fullPath == fullPath;
  });
  return found == items_.end() ? -1 : int(found - items_.begin());
}

QIcon typeIcon(const QString& mimeName) {
  static QHash<QString, QIcon> icons;
  auto found = icons.find(mimeName);
  if (found == icons.end()) {
    static const QMimeDatabase mimes;
    const QMimeType type = mimes.mimeTypeForName(mimeName);
    const bool folder = mimeName == QLatin1String("inode/directory");
    const QIcon fallback =
        QApplication::style()->standardIcon(folder ? QStyle::SP_DirIcon : QStyle::SP_FileIcon);
    QIcon icon = QIcon::fromTheme(folder ? QStringLiteral("folder") : type.iconName());
    if (icon.isNull())
      icon = QIcon::fromTheme(type.genericIconName(), fallback);
    found = icons.insert(mimeName, icon);
  }
  return *found;
}

} // namespace dh::files
