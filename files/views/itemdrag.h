// An item dragged within My Files: it travels in a format of the page's own that carries a
// token of this process, so that nothing dragged in from another program, or from another
// page, is ever taken for it; and the pace at which a drag scrolls a list near its edges.
#pragma once

#include <optional>
#include <string>

class QMimeData;

namespace dh::files {

struct DraggedItem {
  std::string path;
  bool rightButton = false; // dropped with the right button: the pupil chooses copy or move
};

QMimeData* itemDragData(const DraggedItem& item);
// The dragged item, when data was made by itemDragData in this process.
std::optional<DraggedItem> draggedItemOf(const QMimeData& data);
// A copy of the dragged item's data (to act on once the drag has ended).
QMimeData* copyDragData(const QMimeData& data);

// While dragging, every 50 ms tick: -1 to scroll one line up, 1 down, 0 not now. y is the
// pointer within a list height pixels high: within 10 pixels of an edge it scrolls every
// sixth tick, and faster the further it is dragged past that line.
int autoScrollStep(int y, int height, int tick);

} // namespace dh::files
