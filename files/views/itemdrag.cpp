#include "files/views/itemdrag.h"

#include <QCoreApplication>
#include <QMimeData>
#include <QUuid>

#include <algorithm>

namespace dh::files {

namespace {

const QString kFormat = QStringLiteral("application/x-deskhaven-files-item");

const QByteArray& Token() {
  static const QByteArray token = QByteArray::number(QCoreApplication::applicationPid()) + ' ' +
                                  QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
  return token;
}

int Pace(int beyond) {
  return std::max(1, 6 - beyond / 20);
}

} // namespace

QMimeData* ItemDragData(const DraggedItem& item) {
  auto* data = new QMimeData;
  data->setData(kFormat, Token() + (item.rightButton ? " right\n" : " left\n") +
                             QByteArray::fromStdString(item.path));
  return data;
}

std::optional<DraggedItem> DraggedItemOf(const QMimeData& data) {
  const QByteArray bytes = data.data(kFormat);
  const qsizetype end = bytes.indexOf('\n');
  const QByteArray head = bytes.left(end);
  const bool right = head == Token() + " right";
  if (end < 0 || (!right && head != Token() + " left") || end + 1 == bytes.size())
    return std::nullopt;
  return DraggedItem{bytes.mid(end + 1).toStdString(), right};
}

QMimeData* CopyDragData(const QMimeData& data) {
  auto* copy = new QMimeData;
  copy->setData(kFormat, data.data(kFormat));
  return copy;
}

int AutoScrollStep(int y, int height, int tick) {
  constexpr int kEdge = 10;
  if (y < kEdge)
    return tick % Pace(kEdge - y) == 0 ? -1 : 0;
  if (y > height - kEdge)
    return tick % Pace(y - (height - kEdge)) == 0 ? 1 : 0;
  return 0;
}

} // namespace dh::files
