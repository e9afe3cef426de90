#include "platform/desktop/execline.h"

#include <algorithm>
#include <vector>

namespace dh::desktop {
namespace {

// Characters that mean something to a shell and so must be quoted.
bool isReserved(QChar c) {
  return QStringView(u"'\\><~|&;$*?#()`").contains(c);
}

bool isBlank(QChar c) {
  return c == u' ' || c == u'\t' || c == u'\n';
}

// One argument as written: literal text and the field codes in it, in order.
struct Piece {
  QString text;
  QChar code; // null for literal text
};
using Argument = std::vector<Piece>;

// Splits the line into arguments; nothing when it is malformed.
std::optional<std::vector<Argument>> split(const QString& exec) {
  std::vector<Argument> arguments;
  Argument current;
  bool started = false;
  bool quoted = false;
  auto literal = [&](QChar c) {
    if (current.empty() || !current.back().code.isNull())
      current.push_back({});
    current.back().text += c;
  };
  for (qsizetype i = 0; i < exec.size(); ++i) {
    const QChar c = exec[i];
    if (quoted) {
      if (c == u'"') {
        quoted = false;
      } else if (c == u'\\') {
        if (i + 1 == exec.size() || !QStringView(u"\"`$\\").contains(exec[i + 1]))
          return std::nullopt;
        literal(exec[++i]);
      } else if (c == u'%') {
        if (i + 1 == exec.size())
          return std::nullopt;
        current.push_back({QString(), exec[++i]});
      } else {
        literal(c);
      }
      continue;
    }
    if (isBlank(c)) {
      if (started)
        arguments.push_back(std::move(current));
      current = {};
      started = false;
      continue;
    }
    started = true;
    if (c == u'"') {
      quoted = true;
    } else if (c == u'%') {
      if (i + 1 == exec.size())
        return std::nullopt;
      current.push_back({QString(), exec[++i]});
    } else if (isReserved(c)) {
      return std::nullopt;
    } else {
      literal(c);
    }
  }
  if (quoted)
    return std::nullopt;
  if (started)
    arguments.push_back(std::move(current));
  return arguments;
}

bool isFileCode(QChar code) {
  return QStringView(u"fFuU").contains(code);
}

// Codes that stand for files or for nothing any more: empty when started without files.
bool standsForNothing(QChar code) {
  return isFileCode(code) || QStringView(u"dDnNvm").contains(code);
}

} // namespace

std::optional<QStringList> expandExec(const QString& exec, const ExecFields& fields) {
  const std::optional<std::vector<Argument>> arguments = split(exec);
  // The program is written out: a field code there would run what it stands for (the file).
  if (!arguments || arguments->empty() ||
      !std::all_of(arguments->front().begin(), arguments->front().end(),
                   [](const Piece& piece) { return piece.code.isNull(); }))
    return std::nullopt;
  QStringList out;
  bool fileNamed = false;
  for (const Argument& argument : *arguments) {
    // An argument that is a field code alone goes away when the code stands for nothing.
    if (argument.size() == 1 && !argument[0].code.isNull()) {
      const QChar code = argument[0].code;
      if (isFileCode(code) && !fields.file.isEmpty()) {
        out << fields.file;
        fileNamed = true;
        continue;
      }
      if (standsForNothing(code))
        continue;
      if (code == u'i') {
        if (!fields.icon.isEmpty())
          out << QStringLiteral("--icon") << fields.icon;
        continue;
      }
    }
    QString text;
    for (const Piece& piece : argument) {
      switch (piece.code.unicode()) {
      case 0:
        text += piece.text;
        break;
      case '%':
        text += u'%';
        break;
      case 'c':
        text += fields.name;
        break;
      case 'k':
        text += fields.location;
        break;
      case 'f':
      case 'u':
        text += fields.file;
        fileNamed = fileNamed || !fields.file.isEmpty();
        break;
      default:
        if (!standsForNothing(piece.code))
          return std::nullopt;
      }
    }
    out << text;
  }
  if (out.isEmpty() || out.front().isEmpty())
    return std::nullopt;
  if (!fileNamed && !fields.file.isEmpty())
    out << fields.file;
  return out;
}

} // namespace dh::desktop
