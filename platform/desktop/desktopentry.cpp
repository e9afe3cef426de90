#include "platform/desktop/desktopentry.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>

namespace dh::desktop {
namespace {

QString initialLocale() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const QString value = qEnvironmentVariable(name);
    if (!value.isEmpty())
      return value;
  }
  return QString();
}

// The suffixes to try for a localised value, most specific first:
// [lang_COUNTRY@MODIFIER], [lang_COUNTRY], [lang@MODIFIER], [lang].
QStringList suffixesOf(const QString& locale) {
  static const QRegularExpression parts(
      QStringLiteral("^([a-zA-Z]+)(?:_([a-zA-Z]+))?(?:\\.[^@]*)?(?:@(.+))?$"));
  const QRegularExpressionMatch match = parts.match(locale);
  QStringList suffixes;
  if (!match.hasMatch())
    return suffixes;
  const QString lang = match.captured(1), country = match.captured(2), modifier = match.captured(3);
  auto add = [&](const QString& name) { suffixes << u'[' + name + u']'; };
  if (!country.isEmpty() && !modifier.isEmpty())
    add(lang + u'_' + country + u'@' + modifier);
  if (!country.isEmpty())
    add(lang + u'_' + country);
  if (!modifier.isEmpty())
    add(lang + u'@' + modifier);
  add(lang);
  return suffixes;
}

QStringList& localeSuffixes() {
  static QStringList suffixes = suffixesOf(initialLocale());
  return suffixes;
}

QString unescape(const QString& raw, bool keepSemicolons) {
  QString out;
  out.reserve(raw.size());
  for (qsizetype i = 0; i < raw.size(); ++i) {
    const QChar c = raw[i];
    if (c != u'\\' || i + 1 == raw.size()) {
      out += c;
      continue;
    }
    const QChar next = raw[++i];
    switch (next.unicode()) {
    case 's':
      out += u' ';
      break;
    case 'n':
      out += u'\n';
      break;
    case 't':
      out += u'\t';
      break;
    case 'r':
      out += u'\r';
      break;
    case '\\':
      out += u'\\';
      break;
    case ';':
      if (keepSemicolons)
        out += u'\\';
      out += u';';
      break;
    default:
      out += c;
      out += next;
    }
  }
  return out;
}

bool isKeyCharacter(QChar c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
         c == u'-';
}

bool isTypeCharacter(QChar c) {
  return isKeyCharacter(c) || QStringView(u"/+._").contains(c);
}

// "Key=Value" or "Key[locale]=Value", blanks allowed around "="; nothing for other lines.
std::optional<std::pair<QString, QString>> keyLine(QStringView line, DesktopEntry::Form form) {
  const qsizetype equals = line.indexOf(u'=');
  if (equals <= 0)
    return std::nullopt;
  const QStringView key = line.left(equals).trimmed();
  const qsizetype bracket = key.indexOf(u'[');
  const QStringView name = bracket < 0 ? key : key.left(bracket);
  const auto allowed = form == DesktopEntry::Form::Entry ? isKeyCharacter : isTypeCharacter;
  if (name.isEmpty() || !std::all_of(name.begin(), name.end(), allowed))
    return std::nullopt;
  if (bracket >= 0 && (!key.endsWith(u']') || key.size() - bracket < 3))
    return std::nullopt;
  QStringView value = line.mid(equals + 1);
  while (!value.isEmpty() && value.front().isSpace())
    value = value.mid(1);
  return std::pair{key.toString(), value.toString()};
}

} // namespace

const QString DesktopEntry::kMainGroup = QStringLiteral("Desktop Entry");

std::optional<DesktopEntry> DesktopEntry::read(const QString& path, Form form) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return std::nullopt;
  return parse(file.readAll(), form);
}

std::optional<DesktopEntry> DesktopEntry::parse(const QByteArray& bytes, Form form) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString text = decoder.decode(bytes);
  if (decoder.hasError())
    return std::nullopt;
  DesktopEntry entry;
  std::optional<QString> group; // none before the first group
  for (QStringView line : QStringView(text).split(u'\n')) {
    if (line.endsWith(u'\r'))
      line.chop(1);
    if (line.trimmed().isEmpty() || line.startsWith(u'#'))
      continue;
    if (line.startsWith(u'[')) {
      if (!line.endsWith(u']'))
        return std::nullopt;
      const QString name = line.mid(1, line.size() - 2).toString();
      if (!group && form == Form::Entry && name != kMainGroup)
        return std::nullopt;
      group = name; // a group written twice keeps its first values
      continue;
    }
    const std::optional<std::pair<QString, QString>> keyValue = keyLine(line, form);
    if (!keyValue || !group)
      return std::nullopt;
    QHash<QString, QString>& keys = entry.groups_[*group];
    if (!keys.contains(keyValue->first))
      keys.insert(keyValue->first, keyValue->second);
  }
  if (!group)
    return std::nullopt;
  return entry;
}

QString DesktopEntry::value(const QString& key, const QString& group) const {
  return unescape(groups_.value(group).value(key), false);
}

QString DesktopEntry::localized(const QString& key) const {
  for (const QString& suffix : localeSuffixes()) {
    if (has(key + suffix))
      return value(key + suffix);
  }
  return value(key);
}

QStringList DesktopEntry::list(const QString& key, const QString& group) const {
  static const QRegularExpression separator(QStringLiteral("(?<!\\\\);"));
  QStringList items;
  for (const QString& item : unescape(groups_.value(group).value(key), true).split(separator)) {
    if (!item.isEmpty())
      items << QString(item).replace(QStringLiteral("\\;"), QStringLiteral(";"));
  }
  return items;
}

QString DesktopEntry::actionGroup(const QString& action) const {
  const QString group = QStringLiteral("Desktop Action ") + action;
  return list(QStringLiteral("Actions")).contains(action) && groups_.contains(group) ? group
                                                                                     : QString();
}

void DesktopEntry::setLocale(const QString& locale) {
  localeSuffixes() = suffixesOf(locale);
}

} // namespace dh::desktop
