// Items keep the control ids of the dialogs they were first laid out in as object names
// ("id1003"), so that tests, tools and accessibility find them by id.
#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace dh::ui {

inline QString idName(int id) {
  return QStringLiteral("id%1").arg(id);
}

inline void setControlId(QObject* item, int id) {
  item->setObjectName(idName(id));
}

// The item of that id below parent (at any depth), or nullptr.
template <class T = QWidget> T* findById(const QObject* parent, int id) {
  return parent->findChild<T*>(idName(id));
}

} // namespace dh::ui
