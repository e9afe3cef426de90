#include "common/ui/buttonst.h"

#include "common/ui/buttonaccessible.h"

#include <QAccessible>
#include <QApplication>
#include <QBitmap>
#include <QDesktopServices>
#include <QEnterEvent>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QTextDocument>
#include <QUrl>

#include <utility>

namespace dh {

namespace {

constexpr int kGap = 3;      // picture and caption distance from the edges and each other
constexpr int kMaxIcon = 32; // icons are drawn at their own size, at most this

// A bevel along a rounded rectangle: one colour on the top and left, the other on the
// bottom and right, split along the diagonal so the corners stay smooth.
void drawBevel(QPainter& painter, const QRectF& rect, qreal radius, const QColor& topLeft,
               const QColor& bottomRight) {
  const QRectF line = rect.adjusted(0.5, 0.5, -0.5, -0.5);
  const QPolygonF upper{rect.topLeft(), rect.topRight(), rect.bottomLeft()};
  const QPolygonF lower{rect.topRight(), rect.bottomRight(), rect.bottomLeft()};
  painter.save();
  painter.setBrush(Qt::NoBrush);
  for (const auto& [half, color] : {std::pair{upper, topLeft}, std::pair{lower, bottomRight}}) {
    QPainterPath clip;
    clip.addPolygon(half);
    painter.setClipPath(clip);
    painter.setPen(QPen(color, 1));
    painter.drawRoundedRect(line, radius, radius);
  }
  painter.restore();
}

void strokeRounded(QPainter& painter, const QRect& rect, qreal radius, const QColor& color,
                   int width = 1) {
  painter.save();
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(color, width));
  painter.drawRoundedRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
  painter.restore();
}

} // namespace

CButtonST::CButtonST(QWidget* parent) : QPushButton(parent) {
  CButtonAccessible::install();
  const QPalette& pal = palette();
  colors_ = {pal.color(QPalette::Button), pal.color(QPalette::ButtonText),
             pal.color(QPalette::Button), pal.color(QPalette::ButtonText),
             pal.color(QPalette::Button), pal.color(QPalette::ButtonText)};
  setMouseTracking(true);
  // The keyboard comes to an image button from keys only: a click leaves the focus where
  // it was, and no focus frame behind.
  setFocusPolicy(Qt::TabFocus);
  hoverTimer_.setSingleShot(true);
  hoverTimer_.setInterval(kHoverDelayMs);
  connect(&hoverTimer_, &QTimer::timeout, this, [this] { emit hoverTimeout(this); });
  connect(this, &QAbstractButton::clicked, this, &CButtonST::onClicked);
}

void CButtonST::AssignIcons(const QIcon& hover, const QIcon& normal) {
  pictures_ = {hover, normal, hover.actualSize(QSize(kMaxIcon, kMaxIcon)), true};
  updateGeometry();
  update();
}

CButtonST::BitmapResult CButtonST::AssignBitmaps(const QPixmap& hover, QColor hoverTransparent,
                                                 const QPixmap& normal, QColor normalTransparent) {
  const auto masked = [](QPixmap pixmap, QColor transparent, BitmapResult* result) {
    if (pixmap.isNull()) {
      *result = BitmapNoSize;
      return QIcon();
    }
    if (transparent.isValid()) {
      const QBitmap mask = pixmap.createMaskFromColor(transparent, Qt::MaskInColor);
      if (mask.isNull()) {
        *result = BitmapNoMask;
        return QIcon();
      }
      pixmap.setMask(mask);
    }
    return QIcon(pixmap);
  };
  BitmapResult result = BitmapOk;
  const QIcon hoverIcon = masked(hover, hoverTransparent, &result);
  const QIcon normalIcon = normal.isNull() ? QIcon() : masked(normal, normalTransparent, &result);
  if (result != BitmapOk)
    return result;
  // Bitmaps keep their colours when the button is disabled; only icons are greyed.
  pictures_ = {hoverIcon, normalIcon, hover.deviceIndependentSize().toSize(), false};
  updateGeometry();
  update();
  return BitmapOk;
}

void CButtonST::SetCheckState(bool checked) {
  if (isCheckable())
    setChecked(checked);
}

int CButtonST::SetStateColor(int index, QColor color, bool repaint) {
  if (index < 0 || index >= int(colors_.size()))
    return kStateColorRefused;
  colors_[index] = color;
  repaintIf(repaint);
  return 0;
}

QColor CButtonST::getStateColor(int index) const {
  return index >= 0 && index < int(colors_.size()) ? colors_[index] : QColor();
}

void CButtonST::SetImageAlignment(ImageAlignment alignment, bool repaint) {
  alignment_ = alignment;
  updateGeometry();
  repaintIf(repaint);
}

void CButtonST::SetFlatLook(bool flat, bool repaint) {
  flat_ = flat;
  if (!flat)
    endHover();
  repaintIf(repaint);
}

void CButtonST::SetBorderOnHover(bool border, bool repaint) {
  borderOnHover_ = border;
  repaintIf(repaint);
}

void CButtonST::SetHoverTip(const QString& text, bool activate) {
  if (text.isNull())
    return;
  hoverTip_ = text;
  // Rich text lets a long tip wrap instead of running across the screen.
  setToolTip(activate ? Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal) : QString());
  QAccessibleEvent nameChanged(this, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&nameChanged);
}

void CButtonST::AttachMenu(QMenu* menu, bool repaint) {
  if (menu == menu_)
    return;
  delete menu_;
  menu_ = menu;
  menuOpen_ = false;
  if (menu_) {
    menu_->setParent(this, menu_->windowFlags());
    connect(menu_, &QMenu::aboutToHide, this, [this] {
      menuOpen_ = false;
      update();
    });
  }
  repaintIf(repaint);
}

QSize CButtonST::sizeHint() const {
  const QSize picture = pictures_.size;
  const QSize caption =
      text().isEmpty() ? QSize() : fontMetrics().size(Qt::TextShowMnemonic, text()) + QSize(8, 2);
  QSize size = alignment_ == ImageAbove ? QSize(std::max(picture.width(), caption.width()),
                                                picture.height() + caption.height() + kGap)
                                        : QSize(picture.width() + caption.width() + kGap,
                                                std::max(picture.height(), caption.height()));
  size += QSize(2 * kGap + 2, 2 * kGap + 2);
  return size.expandedTo(QSize(16, 16));
}

void CButtonST::onClicked() {
  if (isCheckable())
    return; // QAbstractButton has already toggled the check mark
  if (menu_) {
    menuOpen_ = true;
    update();
    menu_->popup(mapToGlobal(QPoint(0, height())));
  } else if (!link_.isEmpty()) {
    QDesktopServices::openUrl(QUrl::fromUserInput(link_));
  }
}

void CButtonST::trackHover(const QPointF& position, Qt::MouseButtons buttons) {
  // A drag that started elsewhere must not light the button up.
  if (((buttons & Qt::LeftButton) && !hovered_) || !flat_ || !isEnabled())
    return;
  if (!QApplication::activeWindow())
    return;
  if (rect().contains(position.toPoint())) {
    if (!hovered_) {
      hovered_ = true;
      update();
      hoverTimer_.start();
    }
  } else {
    endHover();
  }
}

void CButtonST::endHover() {
  hoverTimer_.stop();
  if (hovered_) {
    hovered_ = false;
    update();
  }
}

void CButtonST::enterEvent(QEnterEvent* event) {
  QPushButton::enterEvent(event);
  trackHover(event->position(), QGuiApplication::mouseButtons());
}

void CButtonST::leaveEvent(QEvent* event) {
  QPushButton::leaveEvent(event);
  endHover();
}

void CButtonST::mouseMoveEvent(QMouseEvent* event) {
  QPushButton::mouseMoveEvent(event);
  trackHover(event->position(), event->buttons());
}

void CButtonST::focusOutEvent(QFocusEvent* event) {
  QPushButton::focusOutEvent(event);
  endHover();
  lostFocusToDisable_ = !isEnabled();
}

bool CButtonST::event(QEvent* event) {
  // Qt passes the window's deactivation down to its children as WindowDeactivate.
  if (event->type() == QEvent::WindowDeactivate)
    endHover();
  return QPushButton::event(event);
}

void CButtonST::changeEvent(QEvent* event) {
  QPushButton::changeEvent(event);
  if (event->type() == QEvent::EnabledChange && !isEnabled()) {
    endHover();
    // Qt has passed the focus on to the next widget in the chain; when there was none,
    // the owner takes it so the keyboard still works.
    if (std::exchange(lostFocusToDisable_, false) && parentWidget() && !window()->focusWidget())
      parentWidget()->setFocus(Qt::OtherFocusReason);
  }
}

void CButtonST::repaintIf(bool repaint) {
  if (repaint)
    update();
}

CButtonST::Look CButtonST::currentLook() const {
  Look look;
  look.pressed = isDown() || (isCheckable() ? isChecked() : menuOpen_);
  look.hovered = hovered_;
  look.focused = hasFocus();
  look.disabled = !isEnabled();
  return look;
}

const QIcon& CButtonST::pictureFor(const Look& look) const {
  const bool normal = isCheckable() ? !look.pressed : !look.pressed && !look.hovered;
  return normal && !pictures_.normal.isNull() ? pictures_.normal : pictures_.hover;
}

QRect CButtonST::pictureRect(const QRect& rect) const {
  const QSize size = pictures_.size;
  const bool caption = !text().isEmpty();
  QRect picture(rect.x() + (rect.width() - size.width()) / 2,
                rect.y() + (rect.height() - size.height()) / 2, size.width(), size.height());
  if (!caption)
    return picture;
  switch (alignment_) {
  case ImageLeft:
    picture.moveLeft(rect.x() + kGap);
    break;
  case ImageAbove:
    picture.moveTop(rect.y() + kGap);
    break;
  case ImageRight:
    picture.moveLeft(rect.x() + rect.width() - kGap - size.width());
    break;
  }
  return picture;
}

QRect CButtonST::captionRect(const QRect& rect, const QRect& picture) const {
  if (picture.isNull())
    return rect;
  QRect caption = rect;
  switch (alignment_) {
  case ImageLeft:
    caption.setLeft(picture.x() + picture.width() + kGap);
    break;
  case ImageAbove:
    caption.setTop(picture.y() + picture.height());
    break;
  case ImageRight:
    caption.setLeft(rect.x() + kGap);
    caption.setRight(picture.x() - 1);
    break;
  }
  return caption;
}

void CButtonST::PaintBackground(QPainter& painter, const QRect& rect, const Look& look) {
  const QColor color = look.hovered || look.pressed ? colors_[HoverBackground]
                       : look.focused               ? colors_[FocusBackground]
                                                    : colors_[NormalBackground];
  painter.save();
  painter.setPen(Qt::NoPen);
  painter.setBrush(color);
  painter.drawRoundedRect(QRectF(rect), cornerRadius(), cornerRadius());
  painter.restore();
}

void CButtonST::PaintBorder(QPainter& painter, const QRect& rect, bool sunken) {
  const QColor shadow = palette().color(QPalette::Dark);
  const QColor highlight = palette().color(QPalette::Light);
  drawBevel(painter, rect, cornerRadius(), sunken ? shadow : highlight,
            sunken ? highlight : shadow);
}

void CButtonST::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QPalette& pal = palette();
  const Look look = currentLook();
  QRect rect = this->rect();

  // The darkest edges are softened a little so the classic look stays calm.
  QColor darkShadow = pal.color(QPalette::Shadow);
  darkShadow.setAlpha(160);
  if (!flat_ && (look.focused || isDefault())) {
    strokeRounded(painter, rect, cornerRadius() + 1, darkShadow);
    rect.adjust(1, 1, -1, -1);
  }
  PaintBackground(painter, rect, look);

  if (look.pressed) {
    if (!flat_)
      strokeRounded(painter, rect, cornerRadius(), pal.color(QPalette::Dark));
    else if (borderOnHover_)
      PaintBorder(painter, rect, true);
  } else if (!flat_) {
    drawBevel(painter, rect, cornerRadius(), pal.color(QPalette::Light), darkShadow);
    drawBevel(painter, rect.adjusted(1, 1, -1, -1), std::max(0.0, cornerRadius() - 1),
              pal.color(QPalette::Midlight), pal.color(QPalette::Dark));
  } else if (look.hovered && borderOnHover_) {
    PaintBorder(painter, rect, false);
  }

  const bool shifted = look.pressed && !isCheckable();
  QRect picture;
  if (const QIcon& icon = pictureFor(look); !icon.isNull()) {
    picture = pictureRect(rect);
    const QIcon::Mode mode =
        look.disabled && pictures_.greyWhenDisabled ? QIcon::Disabled : QIcon::Normal;
    icon.paint(&painter, picture.translated(shifted ? QPoint(1, 1) : QPoint()), Qt::AlignCenter,
               mode);
  }

  if (!text().isEmpty()) {
    QRect caption = captionRect(rect, picture);
    if (shifted)
      caption.translate(1, 1);
    paintCaption(painter, caption, look);
  }

  // Whoever moves the keyboard along flat buttons (F6, the arrow keys) must see at a
  // glance where it is.
  if (look.focused && flat_)
    strokeRounded(painter, rect.adjusted(1, 1, -1, -1), cornerRadius(),
                  pal.color(QPalette::Highlight), 2);
  else if (look.focused)
    strokeRounded(painter, rect.adjusted(kGap, kGap, -kGap, -kGap), 2,
                  pal.color(QPalette::Highlight));
}

void CButtonST::paintCaption(QPainter& painter, QRect rect, const Look& look) {
  const int flags =
      Qt::AlignCenter | Qt::TextWordWrap |
      (style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, this) ? Qt::TextShowMnemonic
                                                                       : Qt::TextHideMnemonic);
  painter.save();
  painter.setFont(font());
  if (look.disabled) {
    painter.setPen(palette().color(QPalette::Light));
    painter.drawText(rect.translated(1, 1), flags, text());
    painter.setPen(palette().color(QPalette::Dark));
  } else {
    painter.setPen(look.hovered || look.pressed ? colors_[HoverText] : colors_[NormalText]);
  }
  painter.drawText(rect, flags, text());
  painter.restore();
}

namespace {
QColor hoverFace(const CButtonST& button) {
  const QColor face = button.palette().color(QPalette::Button);
  auto up = [](int c) { return std::min(255, c + 0x0A); };
  return QColor(up(face.red()), up(face.green()), up(face.blue()));
}
} // namespace

void setPageButtonColours(CButtonST& button) {
  button.SetStateColor(CButtonST::HoverBackground, hoverFace(button));
  button.SetStateColor(CButtonST::HoverText, QColor(0x00, 0x00, 0x80));
}

void setPanelButtonColours(CButtonST& button) {
  const QColor base = button.palette().color(QPalette::Base);
  button.SetStateColor(CButtonST::HoverBackground, hoverFace(button));
  button.SetStateColor(CButtonST::NormalBackground, base);
  button.SetStateColor(CButtonST::FocusBackground, base);
}

QPixmap maskedPicture(const QString& file) {
  QPixmap picture(file);
  if (!picture.isNull())
    picture.setMask(picture.createMaskFromColor(QColor(kTransparentColour), Qt::MaskInColor));
  return picture;
}

void assignPictureOr(CButtonST& button, const QString& file, const QString& fallback) {
  QPixmap picture(file);
  if (picture.isNull())
    picture.load(fallback);
  if (picture.isNull())
    button.AssignIcons(QIcon());
  else
    button.AssignBitmaps(picture, QColor(kTransparentColour));
}

} // namespace dh
