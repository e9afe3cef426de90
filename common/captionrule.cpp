#include "common/captionrule.h"

namespace dh {
namespace {
constexpr qsizetype kLongestWord = 10;
constexpr qsizetype kKeptLetters = 7;
constexpr qsizetype kLongestCaption = 33;
constexpr int kMostShortenedWords = 3;
} // namespace

QString ShortenCaption(QString text) {
  // The counter starts at 1, so the cut applies from the third shortened word that a
  // blank follows.
  int counter = 1;
  qsizetype wordStart = 0;
  for (qsizetype end = 0; end < text.size(); ++end) {
    const bool blank = text[end] == QLatin1Char(' ');
    const bool last = end + 1 == text.size();
    if (!blank && !last)
      continue;
    if (end - wordStart > kLongestWord) {
      text.replace(wordStart + kKeptLetters, end - wordStart - kKeptLetters, QStringLiteral("..."));
      end = wordStart + kLongestWord;
      if (blank)
        ++counter;
      else
        text.truncate(end);
    }
    wordStart = end + 1;
  }
  if (counter > kMostShortenedWords)
    text.truncate(kLongestCaption);
  return text;
}

QString SlotCaption(const QString& displayName) {
  QString doubled = displayName;
  doubled.replace(QLatin1Char('&'), QStringLiteral("&&"));
  return ShortenCaption(doubled);
}

} // namespace dh
