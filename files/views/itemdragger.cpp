#include "files/views/itemdragger.h"

#include "files/views/folderview.h"
#include "files/views/itemdrag.h"
#include "platform/ui/controlid.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCursor>
#include <QDrag>
#include <QDragMoveEvent>
#include <QIcon>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTimer>

#include <memory>

namespace dh::files {

namespace {

constexpr int kScrollTick = 50;   // ms between steps of scrolling while dragging
constexpr qint64 kDragDelay = 80; // ms a button must be down before a drag starts
// The commands of the question a right-button drop asks.
constexpr int kDropCopy = 32857;
constexpr int kDropMove = 32858;
constexpr int kDropCancel = 32859;

} // namespace

QModelIndex menuIndex(const QAbstractItemView& list, std::optional<QPoint>& local) {
  QModelIndex index = local ? list.indexAt(*local) : list.currentIndex();
  if (!local && !list.selectionModel()->isSelected(index))
    index = {};
  if (!local)
    local = index.isValid() ? list.visualRect(index).center() : QPoint(8, 8);
  return index;
}

ItemDragger::ItemDragger(QAbstractItemView* list, FolderView& owner, Hooks hooks)
    : QObject(list), list_(list), owner_(owner), hooks_(std::move(hooks)) {
  list_->installEventFilter(this);
  list_->viewport()->installEventFilter(this);
  list_->viewport()->setAcceptDrops(true);
  scrollTimer_ = new QTimer(this);
  scrollTimer_->setInterval(kScrollTick);
  connect(scrollTimer_, &QTimer::timeout, this, &ItemDragger::autoScroll);
}

bool ItemDragger::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_ && event->type() == QEvent::KeyPress) {
    const auto* press = static_cast<QKeyEvent*>(event);
    const int key = press->key();
    if (key == Qt::Key_Menu || (key == Qt::Key_F10 && press->modifiers() == Qt::ShiftModifier)) {
      hooks_.menu(std::nullopt);
      return true;
    }
  }
  if (event->type() == QEvent::ContextMenu) {
    // The mouse's menu opens at the button's release, once it is clear no drag began; the
    // keyboard's at the keys above.
    return true;
  }
  if (watched == list_->viewport())
    return mouseEvent(event) || dragEvent(event);
  return false;
}

bool ItemDragger::mouseEvent(QEvent* event) {
  const auto* mouse = dynamic_cast<QMouseEvent*>(event);
  if (!mouse)
    return false;
  switch (event->type()) {
  case QEvent::MouseButtonPress:
    pressButton_ = mouse->button();
    pressAt_ = mouse->position().toPoint();
    pressed_.start();
    return false;
  case QEvent::MouseButtonRelease: {
    const bool menu = mouse->button() == Qt::RightButton && pressButton_ == Qt::RightButton;
    pressButton_ = Qt::NoButton;
    if (menu)
      hooks_.menu(mouse->position().toPoint());
    return false; // the list ends its click as usual once the menu has closed
  }
  case QEvent::MouseMove:
    if ((pressButton_ == Qt::LeftButton || pressButton_ == Qt::RightButton) &&
        (mouse->buttons() & pressButton_) &&
        (mouse->position().toPoint() - pressAt_).manhattanLength() >=
            QApplication::startDragDistance())
      return startDrag();
    return false;
  default:
    return false;
  }
}

bool ItemDragger::startDrag() {
  // A press that only just happened is a click whose hand shook.
  if (pressed_.elapsed() < kDragDelay)
    return false;
  const std::vector<ItemRecord> selected = owner_.selectedItems();
  const QModelIndex index = list_->indexAt(pressAt_);
  if (!hooks_.dragSource || selected.size() != 1 || !index.isValid())
    return false;
  const bool right = pressButton_ == Qt::RightButton;
  pressButton_ = Qt::NoButton;
  auto* drag = new QDrag(list_);
  drag->setMimeData(itemDragData({selected.front().fullPath, right}));
  const int size = list_->iconSize().height();
  drag->setPixmap(
      index.siblingAtColumn(0).data(Qt::DecorationRole).value<QIcon>().pixmap(size, size));
  drag->setHotSpot(QPoint(size / 2, size / 2));
  drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
  return true;
}

bool ItemDragger::dragEvent(QEvent* event) {
  switch (event->type()) {
  case QEvent::DragEnter: {
    auto* enter = static_cast<QDragEnterEvent*>(event);
    if (owner_.busy() || !fromThisPage(enter->source()) || !draggedItemOf(*enter->mimeData())) {
      enter->ignore();
      return true;
    }
    enter->acceptProposedAction();
    scrollTicks_ = 0;
    scrollTimer_->start();
    return true;
  }
  case QEvent::DragMove: {
    auto* move = static_cast<QDragMoveEvent*>(event);
    const QPoint at = move->position().toPoint();
    const bool target = dropFolder(at).has_value();
    highlight(target ? list_->indexAt(at) : QModelIndex());
    if (target)
      move->acceptProposedAction();
    else
      move->ignore();
    return true;
  }
  case QEvent::DragLeave:
    highlight({});
    scrollTimer_->stop();
    return true;
  case QEvent::Drop: {
    auto* drop = static_cast<QDropEvent*>(event);
    highlight({});
    scrollTimer_->stop();
    const std::optional<std::string> into = dropFolder(drop->position().toPoint());
    if (!into || !fromThisPage(drop->source()) || !draggedItemOf(*drop->mimeData())) {
      drop->ignore();
      return true;
    }
    drop->acceptProposedAction();
    // Acted on once the drag has ended, so that a question may be asked.
    std::shared_ptr<QMimeData> data(copyDragData(*drop->mimeData()));
    QTimer::singleShot(0, this, [this, data, folder = *into] { dropped(*data, folder); });
    return true;
  }
  default:
    return false;
  }
}

bool ItemDragger::fromThisPage(const QObject* source) const {
  for (auto* widget = qobject_cast<const QWidget*>(source); widget;
       widget = widget->parentWidget()) {
    if (qobject_cast<const FolderView*>(widget))
      return widget->parentWidget() == owner_.parentWidget();
  }
  return false;
}

void ItemDragger::dropped(const QMimeData& data, const std::string& folder) {
  bool move = true;
  if (draggedItemOf(data)->rightButton) {
    QMenu choice(list_);
    const struct {
      int id;
      const char* text;
    } kChoices[] = {{kDropCopy, "Copy"}, {kDropMove, "Move"}, {kDropCancel, "Cancel"}};
    for (const auto& item : kChoices) {
      QAction* action = choice.addAction(QString::fromLatin1(item.text));
      dh::ui::setControlId(action, item.id);
      action->setData(item.id);
    }
    const QAction* chosen = choice.exec(QCursor::pos());
    if (!chosen || chosen->data().toInt() == kDropCancel)
      return;
    move = chosen->data().toInt() == kDropMove;
  }
  emit owner_.dropWanted(data, folder, move);
}

std::optional<std::string> ItemDragger::dropFolder(QPoint local) const {
  return hooks_.dropFolder ? hooks_.dropFolder(local) : std::nullopt;
}

void ItemDragger::highlight(const QModelIndex& index) {
  if (hooks_.highlight)
    hooks_.highlight(index);
}

void ItemDragger::autoScroll() {
  const QPoint at = list_->viewport()->mapFromGlobal(QCursor::pos());
  const int step = autoScrollStep(at.y(), list_->viewport()->height(), ++scrollTicks_);
  if (step != 0)
    list_->verticalScrollBar()->triggerAction(step < 0 ? QAbstractSlider::SliderSingleStepSub
                                                       : QAbstractSlider::SliderSingleStepAdd);
}

} // namespace dh::files
