#include "sitebook/sitebookform.h"

#include "common/platformmode.h"
#include "common/settings.h"
#include "common/ui/winxpbuttonst.h"
#include "platform/registry/registry.h"
#include "platform/ui/controlid.h"
#include "sitebook/dhvview.h"
#include "sitebook/linkshelp.h"
#include "sitebook/toolbarlayout.h"

#include "common/captionrule.h"

#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>
#include <QWebEnginePage>

namespace dh::sitebook {

namespace {

// The places of the items in the form as first laid out; the form's frames are sized to
// the form from these, and the tool bar items move between these places.
namespace place {
constexpr QRect kToolBarFrame(6, 4, 708, 58);
constexpr QRect kBack(14, 13, 40, 40);
constexpr QRect kForward(58, 13, 40, 40);
constexpr QRect kForwardSeparator(104, 17, 2, 32);
constexpr QRect kRefresh(112, 13, 40, 40);
// Separator 222, Copy, separator 223, Print, separator 224, side switch, separator 225,
// Help: the queue of places the optional items close up into.
constexpr std::array<QRect, kToolBarItems> kMovable = {
    QRect(158, 17, 2, 32), QRect(166, 13, 40, 40), QRect(212, 17, 2, 32), QRect(220, 13, 40, 40),
    QRect(266, 17, 2, 32), QRect(274, 13, 40, 40), QRect(320, 17, 2, 32), QRect(328, 13, 40, 40)};
constexpr QRect kSidePanelFrame(6, 68, 136, 366);
constexpr QRect kSlot1(12, 76, 108, 74);
constexpr int kSlotPitch = kSlot1.height() + 6; // from the top of one slot to the next
constexpr QRect kScrollUp(122, 76, 16, 28);
constexpr QRect kScrollDown(122, 398, 16, 28);
constexpr QRect kPageLine(148, 68, 566, 24);
constexpr QRect kBrowserArea(148, 94, 566, 340);
// Room the form leaves free at its right and bottom edges.
constexpr int kRightMargin = 12;
constexpr int kBottomMargin = 65;
} // namespace place

constexpr const char* kDefaultLinkPicture = "defaultSitemark.bmp";

// Buttons sit flat on the background of their frame.
void Flatten(CButtonST* button, const QWidget* form) {
  const QColor base = form->palette().color(QPalette::Base);
  button->SetStateColor(CButtonST::NormalBackground, base);
  button->SetStateColor(CButtonST::FocusBackground, base);
}

// The look of the form's themed buttons: they sit flat on their frame's background and
// light up a shade above the button face under the pointer.
void Theme(CWinXPButtonST* button) {
  button->SetRoundedFrame(true);
  dh::SetPanelButtonColours(*button);
}

QIcon Icon(const char* name) {
  return QIcon(QStringLiteral(":/sitebook/icons/%1.svg").arg(QLatin1String(name)));
}

QFrame* MakeFrame(QWidget* parent, int id, QFrame::Shape shape) {
  auto* frame = new QFrame(parent);
  dh::ui::setControlId(frame, id);
  frame->setFrameShape(shape);
  return frame;
}

QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

} // namespace

SitebookForm::SitebookForm(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("SitebookForm"));
  setStyleSheet(
      QStringLiteral("#id201, #id202 { background: palette(base); border: 1px solid palette(mid);"
                     " border-radius: 6px; }"
                     "#id219 { border: 1px solid palette(mid); }"
                     "#id218 { color: palette(text); padding-left: 2px; }"));
  mode_ = dh::QueryPlatformMode(dh::kControlDefaultMode);
  scheme_.SelectScheme(mode_);
  helper_.SetSchemeName(scheme_.SchemeName);

  toolBarFrame_ = MakeFrame(this, kToolBarFrame, QFrame::StyledPanel);
  sidePanelFrame_ = MakeFrame(this, kSidePanelFrame, QFrame::StyledPanel);
  browserArea_ = MakeFrame(this, kBrowserArea, QFrame::NoFrame);
  indicator_ = new QLabel(this);
  dh::ui::setControlId(indicator_, kIndicator);
  pageLine_ = new QLabel(QStringLiteral("Current Web Page:"), this);
  dh::ui::setControlId(pageLine_, kPageLine);

  MakeToolButton(kBack, "back", "Display a previously viewed web page")->setGeometry(place::kBack);
  MakeToolButton(kForward, "forward", "Display the next viewed web page")
      ->setGeometry(place::kForward);
  MakeFrame(this, 221, QFrame::VLine)->setGeometry(place::kForwardSeparator);
  MakeToolButton(kRefresh, "refresh", "Refreshes the currently viewed web page")
      ->setGeometry(place::kRefresh);
  MakeFrame(this, 222, QFrame::VLine);
  MakeToolButton(kCopy, "copy", "Copy selected items to the clipboard");
  MakeFrame(this, 223, QFrame::VLine);
  MakeToolButton(kPrint, "print", "Prints the current web page");
  MakeFrame(this, 224, QFrame::VLine);
  MakeToolButton(kSideSwitch, "side", "Toggles the left hand pane");
  MakeFrame(this, 225, QFrame::VLine);
  MakeToolButton(kHelp, "help", "Launch Deskhaven Help");
  MakeSlots();
  scrollUp_ = MakeScrollButton(kScrollUp, "scroll-up-hover", "scroll-up-normal",
                               "Press to scroll up through web links");
  scrollDown_ = MakeScrollButton(kScrollDown, "scroll-down-hover", "scroll-down-normal",
                                 "Press to scroll down through web links");

  view_ = new CDhvView(browserArea_);
  auto* fill = new QVBoxLayout(browserArea_);
  fill->setContentsMargins(1, 1, 1, 1);
  fill->addWidget(view_);
  view_->SetButtons(dh::ui::findById<QAbstractButton>(this, kBack),
                    dh::ui::findById<QAbstractButton>(this, kForward));
  connect(view_, &CDhvView::PageLineChanged, pageLine_, &QLabel::setText);
  // A page's own print() is a press of Print, so it obeys the scheme as the button does.
  connect(view_->page(), &QWebEnginePage::printRequested, this, [this] { Press(kPrint); });

  indicator_->setPixmap(dh::MaskedPicture(Text(dh::GetUserTypePicturePath())));
  indicator_->setVisible(!indicator_->pixmap().isNull());

  PlaceFrames();
  LayOutPanel();
  LayOutToolBar();
  startPage_ = QDir::current().filePath(QStringLiteral("Links.htm"));
  view_->ResetHistory(startPage_);
  view_->Navigate2(startPage_);
}

SitebookForm::~SitebookForm() = default;

CWinXPButtonST* SitebookForm::MakeToolButton(int id, const char* icon, const char* tip) {
  auto* button = new CWinXPButtonST(this);
  dh::ui::setControlId(button, id);
  button->AssignIcons(Icon(icon));
  Theme(button);
  button->SetHoverTip(QString::fromLatin1(tip));
  connect(button, &CButtonST::hoverTimeout, this, &SitebookForm::OnHover);
  switch (id) {
  case kBack:
    connect(button, &QAbstractButton::clicked, this, &SitebookForm::OnBack);
    break;
  case kForward:
    connect(button, &QAbstractButton::clicked, this, &SitebookForm::OnForward);
    break;
  case kRefresh:
    connect(button, &QAbstractButton::clicked, this, [this] { view_->Refresh(); });
    break;
  case kCopy:
    connect(button, &QAbstractButton::clicked, this, [this] { view_->Copy(); });
    break;
  case kPrint:
    connect(button, &QAbstractButton::clicked, this, [this] { view_->Print(); });
    break;
  case kSideSwitch:
    connect(button, &QAbstractButton::clicked, this, &SitebookForm::OnSideSwitch);
    break;
  case kHelp:
    connect(button, &QAbstractButton::clicked, this, [this] { ShowLinksHelp(this); });
    break;
  }
  return button;
}

CButtonST* SitebookForm::MakeScrollButton(int id, const char* hover, const char* normal,
                                          const char* tip) {
  auto* button = new CButtonST(this);
  dh::ui::setControlId(button, id);
  button->AssignIcons(Icon(hover), Icon(normal));
  button->SetBorderOnHover(false);
  Flatten(button, this);
  button->SetHoverTip(QString::fromLatin1(tip));
  button->setGeometry(id == kScrollUp ? place::kScrollUp : place::kScrollDown);
  connect(button, &CButtonST::hoverTimeout, this, &SitebookForm::OnHover);
  connect(button, &QAbstractButton::clicked, this,
          id == kScrollUp ? &SitebookForm::OnScrollUp : &SitebookForm::OnScrollDown);
  return button;
}

void SitebookForm::MakeSlots() {
  for (int slot = 0; slot < dh::SlotPanel::kSlots; ++slot) {
    auto* button = new CWinXPButtonST(this);
    dh::ui::setControlId(button, kSlotIds[slot]);
    button->setCheckable(true);
    Theme(button);
    button->SetImageAlignment(CButtonST::ImageAbove);
    connect(button, &CButtonST::hoverTimeout, this, &SitebookForm::OnHover);
    connect(button, &QAbstractButton::clicked, this, [this, slot] { OnSlot(slot); });
    slots_[slot] = button;
  }
}

void SitebookForm::PlaceFrames() {
  const int right = width() - 1 - place::kRightMargin;
  const int bottom = height() - 1 - place::kBottomMargin;
  QRect toolBar = place::kToolBarFrame;
  toolBar.setRight(right);
  toolBarFrame_->setGeometry(toolBar);
  QRect panel = place::kSidePanelFrame;
  panel.setBottom(bottom);
  sidePanelFrame_->setGeometry(panel);
  // Without the side panel the browser takes its place too.
  const int left = sideShown_ ? place::kBrowserArea.left() : panel.left();
  QRect area = place::kBrowserArea;
  area.setLeft(left);
  area.setRight(right);
  area.setBottom(bottom);
  browserArea_->setGeometry(area);
  QRect line = place::kPageLine;
  line.setLeft(left);
  line.setRight(right);
  pageLine_->setGeometry(line);
  PlaceIndicator();
}

void SitebookForm::PlaceIndicator() {
  if (indicator_->pixmap().isNull())
    return;
  const QRect client = toolBarFrame_->geometry();
  const QRect help = dh::ui::findById<QWidget>(this, kHelp)->geometry();
  const QRect box(QPoint(help.right() + 29, client.top() + 10),
                  QPoint(client.right() - 5, client.bottom() - 5));
  const QSize picture = indicator_->pixmap().deviceIndependentSize().toSize();
  const QSize size = picture.boundedTo(box.size());
  const int x = size.width() < box.width() - 2 ? box.right() + 1 - size.width() : box.left();
  const int y =
      size.height() < box.height() - 2 ? box.top() + (box.height() - size.height()) / 2 : box.top();
  indicator_->setGeometry(QRect(QPoint(x, y), size));
}

void SitebookForm::LayOutPanel() {
  const int links =
      std::min<int>(scheme_.Sitebook.SitebookCount, int(scheme_.Sitebook.Sitemarks.size()));
  panel_.Layout(links, sidePanelFrame_->height(), place::kSlotPitch);
  ShowPanel();
}

void SitebookForm::ShowPanel() {
  for (int slot = 0; slot < dh::SlotPanel::kSlots; ++slot)
    slots_[slot]->setGeometry(place::kSlot1.translated(0, slot * place::kSlotPitch));
  if (panel_.Visible() > 0) {
    QRect down = place::kScrollDown;
    down.moveBottom(slots_[panel_.Visible() - 1]->geometry().bottom());
    scrollDown_->setGeometry(down);
  }
  FillSlots();
  ShowChecks();
  ShowPanelItems();
}

void SitebookForm::FillSlots() {
  const QString defaultPicture =
      QString::fromStdString(dh::JoinPath(dh::GetDefaultPicturesFolder(), kDefaultLinkPicture));
  for (int slot = 0; slot < panel_.Visible(); ++slot) {
    const dh::Sitemark& link = scheme_.Sitebook.Sitemarks[panel_.LinkOfSlot(slot)];
    CWinXPButtonST* button = slots_[slot];
    dh::AssignPictureOr(*button, Text(link.IconFile), defaultPicture);
    button->setText(SlotCaption(Text(link.DisplayName)));
    button->SetHoverTip(
        Text(scheme_.Defaults.ShortToolTips ? link.ShortToolTip : link.LongToolTip));
  }
}

void SitebookForm::ShowChecks() {
  const std::optional<int> checked = panel_.CheckedSlot();
  for (int slot = 0; slot < dh::SlotPanel::kSlots; ++slot)
    slots_[slot]->SetCheckState(checked == slot);
}

void SitebookForm::ShowPanelItems() {
  sidePanelFrame_->setVisible(sideShown_);
  for (int slot = 0; slot < dh::SlotPanel::kSlots; ++slot)
    slots_[slot]->setVisible(sideShown_ && panel_.SlotInUse(slot));
  scrollUp_->setVisible(sideShown_ && panel_.ScrollUpInUse());
  scrollDown_->setVisible(sideShown_ && panel_.ScrollDownInUse());
}

void SitebookForm::LayOutToolBar() {
  const ToolBarPlaces places = dh::sitebook::LayOutToolBar(scheme_.ToolBars[2]);
  static constexpr std::array<int, kToolBarItems> kItems = {222, kCopy,       223, kPrint,
                                                            224, kSideSwitch, 225, kHelp};
  for (int item = 0; item < kToolBarItems; ++item) {
    QWidget* widget = dh::ui::findById<QWidget>(this, kItems[item]);
    const int at = places[item];
    if (at >= 0)
      widget->setGeometry(place::kMovable[at]);
    widget->setVisible(at >= 0);
  }
  PlaceIndicator();
}

void SitebookForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceFrames();
  panel_.Fit(sidePanelFrame_->height(), place::kSlotPitch);
  ShowPanel();
}

bool SitebookForm::Press(int id) {
  auto* button = dh::ui::findById<QAbstractButton>(this, id);
  if (!button || !button->isVisibleTo(this) || !button->isEnabled())
    return false;
  button->click();
  return true;
}

void SitebookForm::OnSlot(int slot) {
  const int link = panel_.Open(slot);
  ShowChecks();
  view_->LinkOpened();
  view_->Navigate2(Text(scheme_.Sitebook.Sitemarks[link].URL));
}

void SitebookForm::OnScrollDown() {
  if (panel_.ScrollDown())
    ShowPanel();
}

void SitebookForm::OnScrollUp() {
  if (panel_.ScrollUp())
    ShowPanel();
}

void SitebookForm::OnBack() {
  panel_.ClearTick();
  ShowChecks();
  view_->GoBack();
}

void SitebookForm::OnForward() {
  panel_.ClearTick();
  ShowChecks();
  view_->GoForward();
}

void SitebookForm::OnSideSwitch() {
  sideShown_ = !sideShown_;
  ShowPanelItems();
  PlaceFrames();
}

void SitebookForm::OnHover(CButtonST* button) {
  QString text = button->GetHoverTip();
  const auto slot = std::find(slots_.begin(), slots_.end(), button);
  if (slot != slots_.end()) {
    const bool useShort = scheme_.ReadShortToolTips();
    const dh::Sitemark& link =
        scheme_.Sitebook.Sitemarks[panel_.LinkOfSlot(int(slot - slots_.begin()))];
    text = Text(useShort ? link.ShortToolTip : link.LongToolTip);
  }
  helper_.Say(text.toStdString());
}

void SitebookForm::Reload() {
  scheme_.SelectScheme(mode_);
  helper_.SetSchemeName(scheme_.SchemeName);
  panel_.ForgetOpened();
  LayOutPanel();
  LayOutToolBar();
  startPage_ = QDir::current().filePath(QStringLiteral("Links.htm"));
  view_->ResetHistory(startPage_);
}

} // namespace dh::sitebook
