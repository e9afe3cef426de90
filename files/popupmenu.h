// The small menu the My Files views open with a right click or the menu key: commands
// with a picture from one strip beside them, drawn by the menu itself in the desktop's
// menu colours.
#pragma once

#include <QMenu>

#include <vector>

namespace dh::files {

class PopupMenu : public QMenu {
  Q_OBJECT

public:
  enum Flag { kSeparator = 1, kUnavailable = 2, kBold = 4, kGrey = 8 };
  static constexpr int kCell = 18; // pictures lie this far apart in the strip
  static constexpr int kItemHeight = 17;
  static constexpr int kSeparatorHeight = 5;

  explicit PopupMenu(QWidget* parent = nullptr);

  // The strip of pictures, from a file or resource.
  void setPictures(const QString& strip);
  // A command (flags 0) or a separator (kSeparator, no text, command 0, picture -1).
  // An "&" in text marks the next character as the item's key.
  bool AddItem(int flags, const QString& text, int command, int picture);
  // Shows the menu at global, moved onto the screen where it would pass an edge, until
  // an item is chosen or the menu dismissed: the chosen command, 0 for none.
  int Track(QPoint global);
  // The commands in order, 0 for each separator.
  std::vector<int> commands() const;

private:
  QPixmap strip_;
};

} // namespace dh::files
