// The mouse and keyboard side of a My Files list or tree: the right click and the menu
// keys that ask for a context menu, dragging the one selected item (after the 80 ms
// guard), the folder under the pointer highlighted as the drop target, scrolling near the
// edges, and the drop, with the Copy/Move/Cancel question of a right-button drop. The
// view that owns it says which item may be dragged and which folder takes a drop.
#pragma once

#include <QElapsedTimer>
#include <QModelIndex>
#include <QObject>
#include <QPoint>

#include <functional>
#include <optional>
#include <string>

class QAbstractItemView;
class QMimeData;
class QTimer;

namespace dh::files {

class FolderView;

// The item a context menu is for: the one under local, or (the menu key, no local) the
// current item when it is selected; local becomes where the menu opens, in viewport
// coordinates. Invalid when the menu is for empty space.
QModelIndex menuIndex(const QAbstractItemView& list, std::optional<QPoint>& local);

class ItemDragger : public QObject {
  Q_OBJECT

public:
  struct Hooks {
    // A right click at local or, with none, the menu key.
    std::function<void(std::optional<QPoint> local)> menu;
    // Whether the owner's one selected item may be dragged from here.
    bool dragSource = true;
    // The folder of the item at local (viewport) that would take a drop, none when none;
    // without it nothing here takes a drop.
    std::function<std::optional<std::string>(QPoint local)> dropFolder = {};
    // Draws index as the drop target (invalid: no target).
    std::function<void(const QModelIndex& index)> highlight = {};
  };

  // Watches list (and its viewport); drops are handed on as owner's dropWanted.
  ItemDragger(QAbstractItemView* list, FolderView& owner, Hooks hooks);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  bool mouseEvent(QEvent* event);
  bool startDrag();
  bool dragEvent(QEvent* event);
  // Whether a drag was started by one of the folder views beside this one (the views of
  // this page) in this process: a drag from anywhere else is never taken, whatever its
  // data says.
  bool fromThisPage(const QObject* source) const;
  std::optional<std::string> dropFolder(QPoint local) const;
  void highlight(const QModelIndex& index);
  void dropped(const QMimeData& data, const std::string& folder);
  void autoScroll();

  QAbstractItemView* list_;
  FolderView& owner_;
  Hooks hooks_;
  QElapsedTimer pressed_;
  Qt::MouseButton pressButton_ = Qt::NoButton;
  QPoint pressAt_;
  QTimer* scrollTimer_ = nullptr;
  int scrollTicks_ = 0;
};

} // namespace dh::files
