// The model behind the Programs page: where the program sets live, the sets and their
// programs, and the picture each set shows. Sets come from the folder that the setting
// "Override Program Set Location" names (its sub-folders are the sets, their files the
// programs) or, without that setting, from the applications menu (one set per main
// category).
#pragma once

#include <QString>

#include <chrono>
#include <vector>

namespace dh::programs {

struct ProgramEntry {
  QString DisplayName;
  QString FilePath; // the shortcut's target, or the file itself when it is no shortcut
  QString LinkPath; // the file in the set; this is what is started
  QString Icon;     // an icon name or file of the entry's own, or empty
};

struct ProgramSet {
  std::vector<ProgramEntry> Programs;
  QString Name;
  QString Picture; // empty when the set has no picture of its own
};

class ProgramSetList {
public:
  // How long LoadSets waits for the profile lock before it reads anyway.
  static constexpr std::chrono::milliseconds kLockWait{5000};

  // Reads "Default Pictures" and "User Defined Pictures".
  void ReadPictureFolders();
  // Decides where the sets come from and returns that place: the override folder when
  // the setting names one (whether or not it can be read now: the system's menu never
  // stands in for it), else the first applications folder the menu is read from.
  QString GetLocation();
  // Reads the sets from location. False, with the sets left as they were, when the
  // override folder is not a folder that can be read.
  bool LoadSets(const QString& location);

  bool usesOverride() const { return usesOverride_; }
  const QString& location() const { return location_; }
  const std::vector<ProgramSet>& sets() const { return sets_; }

private:
  void choosePicture(ProgramSet& set) const;
  void readOverrideSets(const QString& location);

  bool usesOverride_ = false;
  QString location_;
  QString defaultPicturesFolder_;
  QString userPicturesFolder_;
  std::vector<ProgramSet> sets_;
};

// The name an item shows: its file name up to its first dot; the dot that starts the
// name of a hidden file does not count, so such a file keeps a name.
QString nameBeforeFirstDot(const QString& fileName);

} // namespace dh::programs
