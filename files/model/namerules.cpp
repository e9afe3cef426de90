#include "files/model/namerules.h"

#include <QFile>

#include <dirent.h>

namespace dh::files {

namespace {

// In the order the typing check looks for them.
const QString kForbidden = QStringLiteral("<>?\\/*\"|:");
// What names given with OK may not hold (a double quote passes there).
const QString kInvalidInName = QStringLiteral("\\/*?><|:");
const QString kCharacterLine = QStringLiteral("< > ? \\ / * \" | :");

bool holdsAny(const QString& name, const QString& characters) {
  for (QChar character : characters) {
    if (name.contains(character))
      return true;
  }
  return false;
}

// What each dialog says of a name it refuses, and the longest name it takes.
struct NameTexts {
  const char* invalid; // followed by the character line
  const char* tooLong;
  int limit;
  const char* title;
};
const NameTexts kFolderTexts = {
    "This folder name is invalid.\nPlease make sure that the name is valid\nand does not "
    "contain any of the following\ncharacters:\n",
    "The folder name is too long, please enter a shorter one", 50, "New Folder Creation"};
const NameTexts kItemTexts = {
    "This item's name is invalid.\nPlease make sure that the name is sensible\nand does not "
    "contain any of the following\ncharacters:\n",
    "The item's name is too long, please enter a shorter one", 100, "Renaming"};

std::optional<NameMessage> nameProblem(const QString& name, const QString& folder,
                                       const NameTexts& texts) {
  const QString title = QString::fromLatin1(texts.title);
  // A name beginning with "." is hidden here: the pupil would never see the item again.
  if (name.isEmpty() || holdsAny(name, kInvalidInName) || name.startsWith(QLatin1Char('.')))
    return NameMessage{QString::fromLatin1(texts.invalid) + kCharacterLine, title};
  if (name.size() > texts.limit)
    return NameMessage{QString::fromLatin1(texts.tooLong), title};
  if (folderHoldsName(folder, name))
    return NameMessage{QStringLiteral("There is already an item with this name in this "
                                      "folder.\nPlease pick another name"),
                       title};
  return std::nullopt;
}

} // namespace

std::optional<NameMessage> typedNameProblem(QString& text) {
  for (QChar character : kForbidden) {
    const qsizetype at = text.indexOf(character);
    if (at >= 0) {
      text.remove(at, 1);
      return NameMessage{QStringLiteral("The following characters are not allowed:\n\n") +
                             kCharacterLine,
                         QStringLiteral("Error: Illegal Character")};
    }
  }
  if (text.size() > kTypedNameLimit) {
    text.truncate(kTypedNameLimit);
    return NameMessage{QStringLiteral("There is a limit of 50 characters"),
                       QStringLiteral("Error: Text too long")};
  }
  return std::nullopt;
}

std::optional<NameMessage> folderNameProblem(const QString& name, const QString& folder) {
  return nameProblem(name, folder, kFolderTexts);
}

std::optional<NameMessage> itemNameProblem(const QString& newName, const QString& folder) {
  return nameProblem(newName, folder, kItemTexts);
}

SplitName splitAtFirstDot(const QString& name) {
  const qsizetype dot = name.indexOf(QLatin1Char('.'));
  if (dot < 0)
    return {name, {}};
  return {name.left(dot), name.mid(dot)};
}

bool folderHoldsName(const QString& folder, const QString& name) {
  DIR* dir = opendir(QFile::encodeName(folder).constData());
  if (!dir)
    return false;
  bool found = false;
  // "." and ".." by name: the order readdir gives them in is not fixed.
  while (const dirent* entry = readdir(dir)) {
    const QString entryName = QFile::decodeName(entry->d_name);
    if (entryName != QLatin1String(".") && entryName != QLatin1String("..") &&
        entryName.compare(name, Qt::CaseInsensitive) == 0) {
      found = true;
      break;
    }
  }
  closedir(dir);
  return found;
}

} // namespace dh::files
