// One listed entry of a folder, and the texts the views show for it.
#pragma once

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

namespace dh::files {

struct ItemRecord {
  std::string fullPath; // bytes as the file system spells them
  std::string name;
  bool folder = false;
  std::uint64_t sizeKb = 0;   // by sizeInKb
  std::int64_t lastWrite = 0; // seconds since the epoch
  QString typeName;
  QString mimeName;
};

// 0 bytes: 0; 1 to 999: 1; from 1000 on the size divided by 1024, rounded down.
std::uint64_t sizeInKb(std::uint64_t bytes);
QString sizeText(std::uint64_t kb);

// A name for the screen: undecodable bytes and control characters (a newline, say) show
// as replacement characters; a file loses its extension (not a leading ".").
QString screenName(const std::string& name);
QString displayName(const ItemRecord& item);

// "05 March 2006, 09:04:00" in local time.
QString dateText(std::int64_t lastWrite);

// The caption line for the selection: several items, one file or folder, or nothing
// (then folderCaption).
QString selectionCaption(const std::vector<const ItemRecord*>& selected,
                         const QString& folderCaption);

// The columns of the details view, and the keys items sort by.
enum class SortKey { Name = 0, Size = 1, Type = 2, Date = 3 };
// Names and type names compare without regard to case, sizes as numbers, dates as times.
// Equal keys keep their order.
bool itemBefore(const ItemRecord& a, const ItemRecord& b, SortKey key);
void sortItems(std::vector<ItemRecord>& items, SortKey key, bool ascending);

// Print is offered unless the name's extension (from its last ".", or the whole name)
// occurs in the administrator's list of file types not to print.
bool printAllowed(const std::string& name, const QString& printFileTypes);
// printAllowed with the administrator's list as the registry holds it now.
bool IsPrintable(const std::string& name);

} // namespace dh::files
