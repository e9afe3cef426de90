#include "files/popupmenu.h"

#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

namespace dh::files {

namespace {

constexpr int kMargin = 3;
constexpr int kPictureRight = 20;
constexpr int kTextLeft = 23;
constexpr int kExtraWidth = 42;

// Sizes and draws the items as the menu wants them; everything else as the desktop does.
class PopupMenuStyle : public QProxyStyle {
public:
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    switch (metric) {
    case PM_MenuPanelWidth:
      return 1;
    case PM_MenuVMargin:
      return kMargin - 1;
    case PM_MenuHMargin:
      return 0;
    default:
      return QProxyStyle::pixelMetric(metric, option, widget);
    }
  }

  QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                         const QWidget* widget) const override {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (type != CT_MenuItem || !item)
      return QProxyStyle::sizeFromContents(type, option, size, widget);
    if (item->menuItemType == QStyleOptionMenuItem::Separator)
      return {1, PopupMenu::kSeparatorHeight};
    const int text = QFontMetrics(item->font).horizontalAdvance(QString(item->text).remove('&'));
    return {text + kExtraWidth, PopupMenu::kItemHeight};
  }

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
    if (element != PE_PanelMenu && element != PE_FrameMenu)
      return QProxyStyle::drawPrimitive(element, option, painter, widget);
    if (element == PE_PanelMenu)
      painter->fillRect(option->rect, option->palette.window());
    painter->setPen(option->palette.windowText().color());
    painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
  }

  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (element != CE_MenuItem || !item)
      return QProxyStyle::drawControl(element, option, painter, widget);
    const QPalette& colours = item->palette;
    const QRect row = item->rect;
    painter->save();
    if (item->menuItemType == QStyleOptionMenuItem::Separator) {
      painter->setPen(colours.windowText().color());
      painter->drawLine(row.left(), row.top() + 2, row.right(), row.top() + 2);
      painter->restore();
      return;
    }
    const bool hovered = (item->state & State_Selected) && (item->state & State_Enabled);
    int background = row.left() + kMargin - 1;
    if (!item->icon.isNull()) {
      const QRect cell(row.left() + kMargin - 1, row.top(), kPictureRight - kMargin + 1, 17);
      painter->setPen(hovered ? colours.light().color() : colours.window().color());
      painter->drawLine(cell.topLeft(), cell.topRight());
      painter->drawLine(cell.topLeft(), cell.bottomLeft());
      painter->setPen(hovered ? colours.dark().color() : colours.window().color());
      painter->drawLine(cell.bottomLeft(), cell.bottomRight());
      painter->drawLine(cell.topRight(), cell.bottomRight());
      painter->drawPixmap(cell.left() + 1, cell.top() + 1, item->icon.pixmap(16, 16));
      background = row.left() + kPictureRight + 1;
    }
    painter->fillRect(QRect(QPoint(background, row.top()), QPoint(row.right() - 1, row.bottom())),
                      hovered ? colours.highlight() : colours.window());
    painter->setFont(item->font);
    painter->setPen(hovered ? colours.highlightedText().color()
                    : (item->state & State_Enabled)
                        ? colours.windowText().color()
                        : colours.color(QPalette::Disabled, QPalette::WindowText));
    painter->drawText(QRect(row.left() + kTextLeft, row.top(), row.width(), PopupMenu::kItemHeight),
                      Qt::AlignVCenter | Qt::TextShowMnemonic, item->text);
    painter->restore();
  }
};

} // namespace

PopupMenu::PopupMenu(QWidget* parent) : QMenu(parent) {
  auto* style = new PopupMenuStyle;
  style->setParent(this);
  setStyle(style);
  setObjectName(QStringLiteral("fpmMenuClass"));
}

void PopupMenu::setPictures(const QString& strip) {
  strip_.load(strip);
}

bool PopupMenu::AddItem(int flags, const QString& text, int command, int picture) {
  if (flags & kSeparator) {
    addSeparator()->setData(0);
    return true;
  }
  QAction* action = addAction(text);
  action->setData(command);
  if (picture >= 0 && !strip_.isNull())
    action->setIcon(QIcon(strip_.copy(picture * kCell, 0, 16, 16)));
  action->setEnabled(!(flags & (kUnavailable | kGrey)));
  if (flags & kBold) {
    QFont bold = font();
    bold.setBold(true);
    action->setFont(bold);
  }
  return true;
}

int PopupMenu::Track(QPoint global) {
  const QAction* chosen = exec(global);
  return chosen ? chosen->data().toInt() : 0;
}

std::vector<int> PopupMenu::commands() const {
  std::vector<int> commands;
  for (const QAction* action : actions())
    commands.push_back(action->isSeparator() ? 0 : action->data().toInt());
  return commands;
}

} // namespace dh::files
