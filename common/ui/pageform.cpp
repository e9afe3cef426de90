#include "common/ui/pageform.h"

#include "common/platformmode.h"
#include "common/settings.h"
#include "common/ui/pageplaces.h"
#include "common/ui/winxpbuttonst.h"
#include "platform/ui/controlid.h"
#include "platform/ui/keyboardpart.h"

#include <QLabel>

namespace dh {

CPageForm::CPageForm(QWidget* parent)
    : QWidget(parent), mode_(queryPlatformMode(kControlDefaultMode)) {
  selectScheme();
}

CPageForm::~CPageForm() = default;

void CPageForm::selectScheme() {
  scheme_.SelectScheme(mode_);
  helper_.SetSchemeName(scheme_.SchemeName);
}

QFrame* CPageForm::makeFrame(int id, QFrame::Shape shape) {
  auto* frame = new QFrame(this);
  ui::setControlId(frame, id);
  frame->setFrameShape(shape);
  return frame;
}

CWinXPButtonST* makeSlotButton(QWidget* parent, int id) {
  auto* button = new CWinXPButtonST(parent);
  ui::setControlId(button, id);
  ui::setKeyboardPart(button, ui::KeyboardPart::SidePanel);
  button->setCheckable(true);
  button->SetRoundedFrame(true);
  setPanelButtonColours(*button);
  button->SetImageAlignment(CButtonST::ImageAbove);
  return button;
}

CWinXPButtonST* CPageForm::makeToolButton(int id, const QIcon& icon, const QString& tip,
                                          std::function<void()> clicked) {
  auto* button = new CWinXPButtonST(this);
  ui::setControlId(button, id);
  ui::setKeyboardPart(button, ui::KeyboardPart::ToolBar);
  button->AssignIcons(icon);
  button->SetRoundedFrame(true);
  setPanelButtonColours(*button);
  button->SetHoverTip(tip);
  connect(button, &CButtonST::hoverTimeout, this, &CPageForm::onHover);
  if (clicked)
    connect(button, &QAbstractButton::clicked, this, std::move(clicked));
  return button;
}

CButtonST* CPageForm::makeScrollButton(int id, bool down, const QIcon& hover, const QIcon& normal,
                                       const QString& tip, std::function<void()> clicked) {
  auto* button = new CButtonST(this);
  ui::setControlId(button, id);
  ui::setKeyboardPart(button, ui::KeyboardPart::SidePanel);
  button->AssignIcons(hover, normal);
  button->SetBorderOnHover(false);
  // Flat on the frame's background, without a hover shade.
  const QColor base = palette().color(QPalette::Base);
  button->SetStateColor(CButtonST::NormalBackground, base);
  button->SetStateColor(CButtonST::FocusBackground, base);
  button->SetHoverTip(tip);
  button->setGeometry(down ? pageplace::kScrollDown : pageplace::kScrollUp);
  connect(button, &CButtonST::hoverTimeout, this, &CPageForm::onHover);
  connect(button, &QAbstractButton::clicked, this, std::move(clicked));
  return button;
}

CPageForm::SideButtons CPageForm::makeSideButtons(const std::array<int, kSideButtons>& ids,
                                                  std::function<void(int index)> clicked) {
  SideButtons buttons{};
  for (int index = 0; index < kSideButtons; ++index) {
    auto* button = makeSlotButton(this, ids[index]);
    button->setGeometry(pageplace::kSideButton1.translated(0, index * pageplace::kSidePitch));
    connect(button, &CButtonST::hoverTimeout, this, &CPageForm::onHover);
    connect(button, &QAbstractButton::clicked, this, [clicked, index] { clicked(index); });
    buttons[index] = button;
  }
  return buttons;
}

void CPageForm::placeScrollDown(QWidget* scrollDown, const QWidget* lastShown) {
  QRect down = pageplace::kScrollDown;
  down.moveBottom(lastShown->geometry().bottom());
  scrollDown->setGeometry(down);
}

void CPageForm::makeIndicator() {
  indicator_ = new QLabel(this);
  ui::setControlId(indicator_, kIndicator);
  indicator_->setPixmap(maskedPicture(QString::fromStdString(GetUserTypePicturePath())));
  indicator_->setVisible(!indicator_->pixmap().isNull());
}

void CPageForm::placeIndicator(const QRect& box) {
  if (indicator_->pixmap().isNull())
    return;
  const QSize size = indicator_->pixmap().deviceIndependentSize().toSize().boundedTo(box.size());
  const int x = size.width() < box.width() - 2 ? box.right() + 1 - size.width() : box.left();
  const int y =
      size.height() < box.height() - 2 ? box.top() + (box.height() - size.height()) / 2 : box.top();
  indicator_->setGeometry(QRect(QPoint(x, y), size));
  indicator_->raise();
}

void CPageForm::placeIndicatorAfter(const QRect& toolBar, const QRect& lastButton) {
  placeIndicator(QRect(QPoint(lastButton.right() + 29, toolBar.top() + 10),
                       QPoint(toolBar.right() - 5, toolBar.bottom() - 5)));
}

bool CPageForm::press(int id) {
  return pressIn(this, id);
}

bool CPageForm::pressIn(QWidget* holder, int id) {
  auto* button = ui::findById<QAbstractButton>(holder, id);
  if (!button || !button->isVisibleTo(this) || !button->isEnabled())
    return false;
  button->click();
  return true;
}

void CPageForm::onHover(CButtonST* button) {
  helper_.Say(button->getHoverTip().toStdString());
}

} // namespace dh
