#include "common/ui/formlook.h"

#include "common/settings.h"
#include "common/ui/winxpbuttonst.h"
#include "platform/ui/controlid.h"

#include <QLabel>

namespace dh {

QFrame* MakeFormFrame(QWidget* form, int id, QFrame::Shape shape) {
  auto* frame = new QFrame(form);
  ui::setControlId(frame, id);
  frame->setFrameShape(shape);
  return frame;
}

CWinXPButtonST* MakeToolButton(QWidget* form, int id, const QIcon& icon, const QString& tip) {
  auto* button = new CWinXPButtonST(form);
  ui::setControlId(button, id);
  button->AssignIcons(icon);
  button->SetRoundedFrame(true);
  SetPanelButtonColours(*button);
  button->SetHoverTip(tip);
  return button;
}

CButtonST* MakeScrollButton(QWidget* form, int id, const QIcon& hover, const QIcon& normal,
                            const QString& tip) {
  auto* button = new CButtonST(form);
  ui::setControlId(button, id);
  button->AssignIcons(hover, normal);
  button->SetBorderOnHover(false);
  // Flat on the frame's background, without a hover shade.
  const QColor base = form->palette().color(QPalette::Base);
  button->SetStateColor(CButtonST::NormalBackground, base);
  button->SetStateColor(CButtonST::FocusBackground, base);
  button->SetHoverTip(tip);
  return button;
}

CWinXPButtonST* MakeSideButton(QWidget* form, int id) {
  auto* button = new CWinXPButtonST(form);
  ui::setControlId(button, id);
  button->setCheckable(true);
  button->SetRoundedFrame(true);
  SetPanelButtonColours(*button);
  button->SetImageAlignment(CButtonST::ImageAbove);
  return button;
}

bool PressFormButton(QWidget* form, int id) {
  auto* button = ui::findById<QAbstractButton>(form, id);
  if (!button || !button->isVisibleTo(form) || !button->isEnabled())
    return false;
  button->click();
  return true;
}

void LoadIndicatorPicture(QLabel* indicator) {
  indicator->setPixmap(MaskedPicture(QString::fromStdString(GetUserTypePicturePath())));
  indicator->setVisible(!indicator->pixmap().isNull());
}

void PlaceIndicator(QLabel* indicator, const QRect& toolBar, const QRect& lastButton) {
  if (indicator->pixmap().isNull())
    return;
  const QRect box(QPoint(lastButton.right() + 29, toolBar.top() + 10),
                  QPoint(toolBar.right() - 5, toolBar.bottom() - 5));
  const QSize picture = indicator->pixmap().deviceIndependentSize().toSize();
  const QSize size = picture.boundedTo(box.size());
  const int x = size.width() < box.width() - 2 ? box.right() + 1 - size.width() : box.left();
  const int y =
      size.height() < box.height() - 2 ? box.top() + (box.height() - size.height()) / 2 : box.top();
  indicator->setGeometry(QRect(QPoint(x, y), size));
}

} // namespace dh
