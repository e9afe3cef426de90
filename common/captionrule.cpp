#include "common/captionrule.h"

#include <QStringList>
#include <QTextBoundaryFinder>

namespace dh {
namespace {
constexpr qsizetype kLongestWord = 10;
constexpr qsizetype kKeptLetters = 7;
constexpr qsizetype kLongestCaption = 33;
constexpr int kMostShortenedWords = 3;

// The characters of a text as a reader sees them: a letter with its accents, an emoji
// with its modifiers, each is one.
QStringList characters(const QString& text) {
  QStringList characters;
  QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
  qsizetype start = 0;
  while (finder.toNextBoundary() != -1) {
    characters.append(text.mid(start, finder.position() - start));
    start = finder.position();
  }
  return characters;
}
} // namespace

QString shortenCaption(const QString& caption) {
  QStringList text = characters(caption);
  // The counter starts at 1, so the cut applies from the third shortened word that a
  // blank follows.
  int counter = 1;
  qsizetype wordStart = 0;
  for (qsizetype end = 0; end < text.size(); ++end) {
    const bool blank = text[end] == QLatin1String(" ");
    const bool last = end + 1 == text.size();
    if (!blank && !last)
      continue;
    if (end - wordStart > kLongestWord) {
      text.remove(wordStart + kKeptLetters, end - wordStart - kKeptLetters);
      text.insert(wordStart + kKeptLetters, 3, QStringLiteral("."));
      end = wordStart + kLongestWord;
      if (blank)
        ++counter;
      else
        text.resize(end);
    }
    wordStart = end + 1;
  }
  if (counter > kMostShortenedWords && text.size() > kLongestCaption)
    text.resize(kLongestCaption);
  return text.join(QString());
}

QString slotCaption(const QString& displayName) {
  QString doubled = displayName;
  doubled.replace(QLatin1Char('&'), QStringLiteral("&&"));
  return shortenCaption(doubled);
}

} // namespace dh
