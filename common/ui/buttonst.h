// The image button of every Deskhaven window: an icon or a bitmap with an optional caption,
// a flat look that lights up under the pointer, check-box behaviour, a drop-down menu or
// a link, and a hover notification through which the owner lets the OnScreen Helper say
// the button's tool tip.
#pragma once

#include <QColor>
#include <QIcon>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <array>

namespace dh {

class CButtonST : public QPushButton {
  Q_OBJECT

public:
  // Indexes of the colour table.
  enum StateColor {
    HoverBackground = 0,
    HoverText = 1,
    NormalBackground = 2,
    NormalText = 3,
    FocusBackground = 4,
    FocusText = 5,
  };
  // Where the picture sits relative to the caption.
  enum ImageAlignment { ImageLeft = 0, ImageAbove = 1, ImageRight = 2 };
  enum BitmapResult { BitmapOk = 0, BitmapNoSize = 1, BitmapNoMask = 2 };
  static constexpr int kStateColorRefused = 3;
  static constexpr int kHoverDelayMs = 400;

  explicit CButtonST(QWidget* parent = nullptr);

  // A null normal icon means the hover icon is shown in every state. Icons are drawn at
  // the hover icon's size up to 32 x 32 pixels and greyed while the button is disabled.
  void AssignIcons(const QIcon& hover, const QIcon& normal = QIcon());
  // Pixels of the transparent colour are left out (a magenta background, say). A null
  // normal bitmap means the hover bitmap is shown in every state. On failure (a bitmap
  // without size, a mask that cannot be made) the pictures stay as they were.
  BitmapResult AssignBitmaps(const QPixmap& hover, QColor hoverTransparent,
                             const QPixmap& normal = QPixmap(),
                             QColor normalTransparent = QColor());

  // Only for check-box (checkable) buttons; Qt repaints a changed check mark itself.
  void SetCheckState(bool checked);
  bool getCheck() const { return isChecked(); }

  // Returns 0, or kStateColorRefused for an index outside the table (nothing changes).
  int SetStateColor(int index, QColor color, bool repaint = true);
  QColor getStateColor(int index) const;

  void SetImageAlignment(ImageAlignment alignment, bool repaint = true);
  void SetFlatLook(bool flat, bool repaint = true);
  void SetBorderOnHover(bool border, bool repaint = true);

  // The tool tip and the text the owner hands to the OnScreen Helper. A null text does
  // nothing; an inactive tip keeps its text but shows no tool tip.
  void SetHoverTip(const QString& text, bool activate = true);
  QString getHoverTip() const { return hoverTip_; }

  // The button takes the menu over as its child (deleting any menu attached before) and
  // shows it at its lower-left corner on a click; null removes the menu. Callers connect
  // the menu's actions themselves.
  void AttachMenu(QMenu* menu, bool repaint = true);
  QMenu* attachedMenu() const { return menu_; }
  // The address opened on a click when there is no menu.
  void SetLink(const QString& link) { link_ = link; }

  bool isHovered() const { return hovered_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

signals:
  // The pointer has rested 400 ms over this flat button (the hover timer stops when the
  // hover ends). The owner connects it and lets the OnScreen Helper say getHoverTip().
  void hoverTimeout(CButtonST* button);

protected:
  // How one paint of the button looks.
  struct Look {
    bool pressed = false;
    bool hovered = false;
    bool focused = false;
    bool disabled = false;
  };
  virtual void PaintBackground(QPainter& painter, const QRect& rect, const Look& look);
  // A thin bevel: sunken (dark top-left) while pressed, raised under the pointer.
  virtual void PaintBorder(QPainter& painter, const QRect& rect, bool sunken);

  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;

  // The roundness of the background and the bevels.
  virtual qreal cornerRadius() const { return 3.0; }

private:
  struct Pictures {
    QIcon hover;
    QIcon normal; // null: the hover picture in every state
    QSize size;
    bool greyWhenDisabled = true;
  };

  void trackHover(const QPointF& position, Qt::MouseButtons buttons);
  void endHover();
  void onClicked();
  Look currentLook() const;
  const QIcon& pictureFor(const Look& look) const;
  QRect pictureRect(const QRect& rect) const;
  QRect captionRect(const QRect& rect, const QRect& picture) const;
  void paintCaption(QPainter& painter, QRect rect, const Look& look);
  void repaintIf(bool repaint);

  Pictures pictures_;
  std::array<QColor, 6> colors_;
  ImageAlignment alignment_ = ImageLeft;
  bool flat_ = true;
  bool borderOnHover_ = true;
  bool hovered_ = false;
  bool menuOpen_ = false;
  bool lostFocusToDisable_ = false;
  QString hoverTip_;
  QString link_;
  QPointer<QMenu> menu_;
  QTimer hoverTimer_;
};

// The colours of the shell's top-row buttons, also shown in the gallery: under the
// pointer the face turns a shade lighter (ten more in each channel) and the text dark blue.
void setPageButtonColours(CButtonST& button);

// The look of the buttons on a page's tool bar and side panel: flat on the base colour of
// their frame, and the same shade above the button face under the pointer.
void setPanelButtonColours(CButtonST& button);

// Magenta marks the see-through parts of the system's bitmaps.
inline constexpr QRgb kTransparentColour = 0xFF00FF;
// The bitmap of a file with its magenta parts see-through; null when it cannot be read.
QPixmap maskedPicture(const QString& file);
// Shows the bitmap of file on the button, or that of fallback when file cannot be read,
// or no picture at all.
void assignPictureOr(CButtonST& button, const QString& file, const QString& fallback);

} // namespace dh
