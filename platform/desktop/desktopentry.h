// A desktop entry file (the freedesktop.org Desktop Entry format) or another file of its
// groups-and-keys form (mimeapps.list): the keys of its groups read as strings, localised
// strings, booleans and lists. Keys are those of the main group unless a group is named.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

namespace dh::desktop {

class DesktopEntry {
public:
  static const QString kMainGroup; // "Desktop Entry"

  // A desktop entry begins with its main group and names its keys with letters, digits
  // and "-"; a list of types (mimeapps.list) may begin with any group, and its keys are
  // type names.
  enum class Form { Entry, TypeList };

  // Nothing when the file cannot be read, is not UTF-8, has a line that is neither a key,
  // a group nor a comment, or is not of the form.
  static std::optional<DesktopEntry> read(const QString& path, Form form = Form::Entry);
  static std::optional<DesktopEntry> parse(const QByteArray& bytes, Form form = Form::Entry);

  bool has(const QString& key) const { return groups_.value(kMainGroup).contains(key); }
  // The value with its escapes (\s \n \t \r \\) resolved; empty when missing.
  QString value(const QString& key, const QString& group = kMainGroup) const;
  // The value for the user's language (key[lang_COUNTRY@MODIFIER], ..., key[lang], key).
  QString localized(const QString& key) const;
  bool flag(const QString& key) const { return value(key) == QLatin1String("true"); }
  // A list separated by ";" ("\;" is a semicolon inside an item); empty items dropped.
  QStringList list(const QString& key, const QString& group = kMainGroup) const;
  // The group of an action the main group offers ("Desktop Action print"), or empty.
  QString actionGroup(const QString& action) const;

  // The locale the localised values are chosen for, as in LC_ALL, LC_MESSAGES or LANG.
  static void setLocale(const QString& locale);

private:
  QHash<QString, QHash<QString, QString>> groups_; // raw values, as in the file
};

} // namespace dh::desktop
