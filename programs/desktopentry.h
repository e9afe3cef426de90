// The main group of a desktop entry file (the freedesktop.org Desktop Entry format): its
// keys read as strings, localised strings, booleans and lists.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

namespace dh::programs {

class DesktopEntry {
public:
  // Nothing when the file cannot be read, is not UTF-8, or is not a desktop entry (no
  // [Desktop Entry] group first, or a line that is neither a key, a group nor a comment).
  static std::optional<DesktopEntry> read(const QString& path);
  static std::optional<DesktopEntry> parse(const QByteArray& bytes);

  bool has(const QString& key) const { return values_.contains(key); }
  // The value with its escapes (\s \n \t \r \\) resolved; empty when missing.
  QString value(const QString& key) const;
  // The value for the user's language (key[lang_COUNTRY@MODIFIER], ..., key[lang], key).
  QString localized(const QString& key) const;
  bool flag(const QString& key) const { return values_.value(key) == QLatin1String("true"); }
  // A list separated by ";" ("\;" is a semicolon inside an item); empty items dropped.
  QStringList list(const QString& key) const;

  // The locale the localised values are chosen for, as in LC_ALL, LC_MESSAGES or LANG.
  static void setLocale(const QString& locale);

private:
  QHash<QString, QString> values_; // raw, as in the file
};

} // namespace dh::programs
