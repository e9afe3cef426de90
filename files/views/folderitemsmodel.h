// The listed entries of the current folder as the item model of the details and icon
// views: four columns (name, size, type, date) and the icon of each entry's type.
#pragma once

#include "files/views/itemrecord.h"

#include <QAbstractTableModel>
#include <QHash>
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
  void SetItems(std::vector<ItemRecord> items);
  // The folder as it is now on disk: entries that vanished or changed (a file's time or
  // size) leave, new ones join where the present order puts them; the rest stay where
  // they are, selected or not.
  void Merge(std::vector<ItemRecord> items);
  void Sort(SortKey key, bool ascending);

  const ItemRecord& Item(int row) const { return items_[std::size_t(row)]; }
  const std::vector<ItemRecord>& Items() const { return items_; }
  int RowOf(const std::string& fullPath) const;

private:
  QIcon IconOf(const QString& mimeName) const;

  std::vector<ItemRecord> items_;
  SortKey key_ = SortKey::Name;
  bool ascending_ = true;
  mutable QHash<QString, QIcon> icons_;
};

} // namespace dh::files
