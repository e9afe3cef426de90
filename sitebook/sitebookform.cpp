#include "sitebook/sitebookform.h"

#include "common/platformmode.h"
#include "common/settings.h"
#include "common/ui/formlook.h"
#include "common/ui/pageplaces.h"
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

// The places of the form's own items; the rest are those every page form shares. The
// tool bar items move between these places.
namespace place {
using namespace dh::pageplace;
constexpr QRect kRefresh(112, 13, 40, 40);
// Separator 222, Copy, separator 223, Print, separator 224, side switch, separator 225,
// Help: the queue of places the optional items close up into.
constexpr std::array<QRect, kToolBarItems> kMovable = {
    QRect(158, 17, 2, 32), QRect(166, 13, 40, 40), QRect(212, 17, 2, 32), QRect(220, 13, 40, 40),
    QRect(266, 17, 2, 32), QRect(274, 13, 40, 40), QRect(320, 17, 2, 32), QRect(328, 13, 40, 40)};
} // namespace place

constexpr const char* kDefaultLinkPicture = "defaultSitemark.bmp";

QIcon Icon(const char* name) {
  return QIcon(QStringLiteral(":/sitebook/icons/%1.svg").arg(QLatin1String(name)));
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

  toolBarFrame_ = dh::MakeFormFrame(this, kToolBarFrame, QFrame::StyledPanel);
  sidePanelFrame_ = dh::MakeFormFrame(this, kSidePanelFrame, QFrame::StyledPanel);
  browserArea_ = dh::MakeFormFrame(this, kBrowserArea, QFrame::NoFrame);
  indicator_ = new QLabel(this);
  dh::ui::setControlId(indicator_, kIndicator);
  pageLine_ = new QLabel(QStringLiteral("Current Web Page:"), this);
  dh::ui::setControlId(pageLine_, kPageLine);

  makeToolButton(kBack, "back", "Display a previously viewed web page")->setGeometry(place::kBack);
  makeToolButton(kForward, "forward", "Display the next viewed web page")
      ->setGeometry(place::kForward);
  dh::MakeFormFrame(this, 221, QFrame::VLine)->setGeometry(place::kForwardSeparator);
  makeToolButton(kRefresh, "refresh", "Refreshes the currently viewed web page")
      ->setGeometry(place::kRefresh);
  dh::MakeFormFrame(this, 222, QFrame::VLine);
  makeToolButton(kCopy, "copy", "Copy selected items to the clipboard");
  dh::MakeFormFrame(this, 223, QFrame::VLine);
  makeToolButton(kPrint, "print", "Prints the current web page");
  dh::MakeFormFrame(this, 224, QFrame::VLine);
  makeToolButton(kSideSwitch, "side", "Toggles the left hand pane");
  dh::MakeFormFrame(this, 225, QFrame::VLine);
  makeToolButton(kHelp, "help", "Launch Deskhaven Help");
  makeSlots();
  scrollUp_ = makeScrollButton(kScrollUp, "scroll-up-hover", "scroll-up-normal",
                               "Press to scroll up through web links");
  scrollDown_ = makeScrollButton(kScrollDown, "scroll-down-hover", "scroll-down-normal",
                                 "Press to scroll down through web links");

  view_ = new CDhvView(browserArea_);
  auto* fill = new QVBoxLayout(browserArea_);
  fill->setContentsMargins(1, 1, 1, 1);
  fill->addWidget(view_);
  view_->setButtons(dh::ui::findById<QAbstractButton>(this, kBack),
                    dh::ui::findById<QAbstractButton>(this, kForward));
  connect(view_, &CDhvView::pageLineChanged, pageLine_, &QLabel::setText);
  // A page's own print() is a press of Print, so it obeys the scheme as the button does.
  connect(view_->page(), &QWebEnginePage::printRequested, this, [this] { press(kPrint); });

  dh::LoadIndicatorPicture(indicator_);

  placeFrames();
  layOutPanel();
  layOutToolBar();
  startPage_ = QDir::current().filePath(QStringLiteral("Links.htm"));
  view_->resetHistory(startPage_);
  view_->Navigate2(startPage_);
}

SitebookForm::~SitebookForm() = default;

CWinXPButtonST* SitebookForm::makeToolButton(int id, const char* icon, const char* tip) {
  CWinXPButtonST* button = dh::MakeToolButton(this, id, Icon(icon), QString::fromLatin1(tip));
  connect(button, &CButtonST::hoverTimeout, this, &SitebookForm::onHover);
  switch (id) {
  case kBack:
    connect(button, &QAbstractButton::clicked, this, &SitebookForm::onBack);
    break;
  case kForward:
    connect(button, &QAbstractButton::clicked, this, &SitebookForm::onForward);
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
    connect(button, &QAbstractButton::clicked, this, &SitebookForm::onSideSwitch);
    break;
  case kHelp:
    connect(button, &QAbstractButton::clicked, this, [this] { showLinksHelp(this); });
    break;
  }
  return button;
}

CButtonST* SitebookForm::makeScrollButton(int id, const char* hover, const char* normal,
                                          const char* tip) {
  CButtonST* button =
      dh::MakeScrollButton(this, id, Icon(hover), Icon(normal), QString::fromLatin1(tip));
  button->setGeometry(id == kScrollUp ? place::kScrollUp : place::kScrollDown);
  connect(button, &CButtonST::hoverTimeout, this, &SitebookForm::onHover);
  connect(button, &QAbstractButton::clicked, this,
          id == kScrollUp ? &SitebookForm::onScrollUp : &SitebookForm::onScrollDown);
  return button;
}

void SitebookForm::makeSlots() {
  for (int slot = 0; slot < dh::SlotPanel::kSlots; ++slot) {
    CWinXPButtonST* button = dh::MakeSideButton(this, kSlotIds[slot]);
    connect(button, &CButtonST::hoverTimeout, this, &SitebookForm::onHover);
    connect(button, &QAbstractButton::clicked, this, [this, slot] { onSlot(slot); });
    slots_[slot] = button;
  }
}

void SitebookForm::placeFrames() {
  const dh::pageplace::Frames frames = dh::pageplace::StretchFrames(size(), sideShown_);
  toolBarFrame_->setGeometry(frames.toolBar);
  sidePanelFrame_->setGeometry(frames.sidePanel);
  browserArea_->setGeometry(frames.pageArea);
  pageLine_->setGeometry(frames.pageLine);
  placeIndicator();
}

void SitebookForm::placeIndicator() {
  dh::PlaceIndicator(indicator_, toolBarFrame_->geometry(),
                     dh::ui::findById<QWidget>(this, kHelp)->geometry());
}

void SitebookForm::layOutPanel() {
  const int links =
      std::min<int>(scheme_.Sitebook.SitebookCount, int(scheme_.Sitebook.Sitemarks.size()));
  panel_.Layout(links, sidePanelFrame_->height(), place::kSidePitch);
  showPanel();
}

void SitebookForm::showPanel() {
  for (int slot = 0; slot < dh::SlotPanel::kSlots; ++slot)
    slots_[slot]->setGeometry(place::kSideButton1.translated(0, slot * place::kSidePitch));
  if (panel_.Visible() > 0) {
    QRect down = place::kScrollDown;
    down.moveBottom(slots_[panel_.Visible() - 1]->geometry().bottom());
    scrollDown_->setGeometry(down);
  }
  fillSlots();
  showChecks();
  showPanelItems();
}

void SitebookForm::fillSlots() {
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

void SitebookForm::showChecks() {
  const std::optional<int> checked = panel_.CheckedSlot();
  for (int slot = 0; slot < dh::SlotPanel::kSlots; ++slot)
    slots_[slot]->SetCheckState(checked == slot);
}

void SitebookForm::showPanelItems() {
  sidePanelFrame_->setVisible(sideShown_);
  for (int slot = 0; slot < dh::SlotPanel::kSlots; ++slot)
    slots_[slot]->setVisible(sideShown_ && panel_.SlotInUse(slot));
  scrollUp_->setVisible(sideShown_ && panel_.ScrollUpInUse());
  scrollDown_->setVisible(sideShown_ && panel_.ScrollDownInUse());
}

void SitebookForm::layOutToolBar() {
  const ToolBarPlaces places = dh::sitebook::layOutToolBar(scheme_.ToolBars[2]);
  static constexpr std::array<int, kToolBarItems> kItems = {222, kCopy,       223, kPrint,
                                                            224, kSideSwitch, 225, kHelp};
  for (int item = 0; item < kToolBarItems; ++item) {
    QWidget* widget = dh::ui::findById<QWidget>(this, kItems[item]);
    const int at = places[item];
    if (at >= 0)
      widget->setGeometry(place::kMovable[at]);
    widget->setVisible(at >= 0);
  }
  placeIndicator();
}

void SitebookForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  placeFrames();
  panel_.Fit(sidePanelFrame_->height(), place::kSidePitch);
  showPanel();
}

bool SitebookForm::press(int id) {
  return dh::PressFormButton(this, id);
}

void SitebookForm::onSlot(int slot) {
  const int link = panel_.Open(slot);
  showChecks();
  view_->linkOpened();
  view_->Navigate2(Text(scheme_.Sitebook.Sitemarks[link].URL));
}

void SitebookForm::onScrollDown() {
  if (panel_.ScrollDown())
    showPanel();
}

void SitebookForm::onScrollUp() {
  if (panel_.ScrollUp())
    showPanel();
}

void SitebookForm::onBack() {
  panel_.ClearTick();
  showChecks();
  view_->GoBack();
}

void SitebookForm::onForward() {
  panel_.ClearTick();
  showChecks();
  view_->GoForward();
}

void SitebookForm::onSideSwitch() {
  sideShown_ = !sideShown_;
  showPanelItems();
  placeFrames();
}

void SitebookForm::onHover(CButtonST* button) {
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

void SitebookForm::reload() {
  scheme_.SelectScheme(mode_);
  helper_.SetSchemeName(scheme_.SchemeName);
  panel_.ForgetOpened();
  layOutPanel();
  layOutToolBar();
  startPage_ = QDir::current().filePath(QStringLiteral("Links.htm"));
  view_->resetHistory(startPage_);
}

} // namespace dh::sitebook
