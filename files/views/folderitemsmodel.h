// The listed entries of the current folder as the item model of the details and icon
// views: four columns (name, size, type, date) and the icon of each entry's type.
#pragma once

#include "files/model/itemrecord.h"

#include <QAbstractTableModel>
#include <QIcon>

#include <vector>

namespace dh::files {

class FolderItemsModel : public QAbstractTableModel {
  Q_OBJECT

public:
  static constexpr int kColumns = 4;

  using QAbstractTableModel::QAbstractTableModel;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

  // A fresh listing, in the order given.
  void setItems(std::vector<ItemRecord> items);
  // The folder as it is now on disk: entries that vanished or changed (a file's time or
  // size) leave, new ones join where the present order puts them; the rest stay where
  // they are, selected or not.
  void merge(std::vector<ItemRecord> items);
  void sortBy(SortKey key, bool ascending);

  const ItemRecord& item(int row) const { return items_[std::size_t(row)]; }
  const std::vector<ItemRecord>& items() const { return items_; }
  int rowOf(const std::string& fullPath) const;
  // The row drawn as the target of a drag (-1: none).
  void setDropTarget(int row);
  int dropTarget() const { return dropTarget_; }

private:
  std::vector<ItemRecord> items_;
  SortKey key_ = SortKey::Name;
  bool ascending_ = true;
  int dropTarget_ = -1;
};

// The icon of an entry's MIME type from the icon theme, else the style's; looked up once
// per type.
QIcon typeIcon(const QString& mimeName);

} // namespace dh::files
