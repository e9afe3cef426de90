#include "programs/setcaption.h"

namespace dh::programs {
namespace {

constexpr qsizetype kLongestCaption = 30;
constexpr qsizetype kKeptCharacters = 27;

QString doubled(const QString& name) {
  return QString(name).replace(u'&', QStringLiteral("&&"));
}

} // namespace

QString setButtonCaption(const QString& name) {
  const QString caption = doubled(name);
  if (caption.size() <= kLongestCaption)
    return caption;
  QString cut = caption.left(kKeptCharacters);
  // A cut between the two ampersands of a pair would leave a mnemonic marker.
  if (cut.count(u'&') % 2 == 1)
    cut.chop(1);
  return cut + QStringLiteral("...");
}

QString setButtonTip(const QString& name) {
  return doubled(name).replace(QStringLiteral("&&"), QStringLiteral("+&"));
}

} // namespace dh::programs
