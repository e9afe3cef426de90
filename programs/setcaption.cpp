#include "programs/setcaption.h"

namespace dh::programs {
namespace {

constexpr qsizetype kLongestCaption = 30;
constexpr qsizetype kKeptCharacters = 27;

QString Doubled(const QString& name) {
  return QString(name).replace(u'&', QStringLiteral("&&"));
}

} // namespace

QString SetButtonCaption(const QString& name) {
  const QString caption = Doubled(name);
  if (caption.size() <= kLongestCaption)
    return caption;
  QString cut = caption.left(kKeptCharacters);
  // A cut between the two ampersands of a pair would leave a mnemonic marker.
  if (cut.count(u'&') % 2 == 1)
    cut.chop(1);
  return cut + QStringLiteral("...");
}

QString SetButtonTip(const QString& name) {
  return Doubled(name).replace(QStringLiteral("&&"), QStringLiteral("+&"));
}

} // namespace dh::programs
