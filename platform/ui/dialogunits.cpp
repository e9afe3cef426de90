#include "platform/ui/dialogunits.h"

#include <QFontMetrics>

namespace dh::ui {

namespace {

int averageWidth(const QFontMetrics& metrics) {
  static const QString letters =
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  return (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
}

} // namespace

DialogUnits::DialogUnits(const QFont& font)
    : DialogUnits(averageWidth(QFontMetrics(font)), QFontMetrics(font).height()) {}

} // namespace dh::ui
