#include "files/views/itemdrag.h"

#include <QCoreApplication>
#include <QMimeData>
#include <QUuid>

#include <algorithm>

namespace dh::files {

namespace {

const QString kFormat = QStringLiteral("application/x-deskhaven-files-item");

const QByteArray& token() {
  static const QByteArray token = QByteArray::number(QCoreApplication::applicationPid()) + ' ' +
                                  QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
  return token;
}

int pace(int beyond) {
  return std::max(1, 6 - beyond / 20);
}

} // namespace

QMimeData* itemDragData(const DraggedItem& item) {
  auto* data = new QMimeData;
  data->setData(kFormat, token() + (item.rightButton ? " right\n" : " left\n") +
                             QByteArray::fromStdString(item.path));
  return data;
}

std::optional<DraggedItem> draggedItemOf(const QMimeData& data) {
  const QByteArray bytes = data.data(kFormat);
  const qsizetype end = bytes.indexOf('\n');
  const QByteArray head = bytes.left(end);
  const bool right = head == token() + " right";
  if (end < 0 || (!right && head != token() + " left") || end + 1 == bytes.size())
    return std::nullopt;
  return DraggedItem{bytes.mid(end + 1).toStdString(), right};
}

QMimeData* copyDragData(const QMimeData& data) {
  auto* copy = new QMimeData;
  copy->setData(kFormat, data.data(kFormat));
  return copy;
}

int autoScrollStep(int y, int height, int tick) {
  constexpr int kEdge = 10;
  if (y < kEdge)
    return tick % pace(kEdge - y) == 0 ? -1 : 0;
  if (y > height - kEdge)
    return tick % pace(y - (height - kEdge)) == 0 ? 1 : 0;
  return 0;
}

} // namespace dh::files
