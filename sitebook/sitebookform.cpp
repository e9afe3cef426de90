#include "sitebook/sitebookform.h"

#include "common/platformmode.h"
#include "common/settings.h"
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

QString toQString(const std::string& text) {
  return QString::fromStdString(text);
}

} // namespace

CSitebookForm::CSitebookForm(QWidget* parent) : CPageForm(parent) {
  setObjectName(QStringLiteral("SitebookForm"));
  setStyleSheet(
      QStringLiteral("#id201, #id202 { background: palette(base); border: 1px solid palette(mid);"
                     " border-radius: 6px; }"
                     "#id219 { border: 1px solid palette(mid); }"
                     "#id218 { color: palette(text); padding-left: 2px; }"));

  toolBarFrame_ = makeFrame(kToolBarFrame, QFrame::StyledPanel);
  sidePanelFrame_ = makeFrame(kSidePanelFrame, QFrame::StyledPanel);
  browserArea_ = makeFrame(kBrowserArea, QFrame::NoFrame);
  makeIndicator();
  pageLine_ = new QLabel(QStringLiteral("Current Web Page:"), this);
  dh::ui::setControlId(pageLine_, kPageLine);

  const auto tool = [this](int id, const char* icon, const char* tip,
                           std::function<void()> clicked) {
    return makeToolButton(id, Icon(icon), QString::fromLatin1(tip), std::move(clicked));
  };
  tool(kBack, "back", "Display a previously viewed web page", [this] {
    onBack();
  })->setGeometry(place::kBack);
  tool(kForward, "forward", "Display the next viewed web page", [this] {
    onForward();
  })->setGeometry(place::kForward);
  makeFrame(221, QFrame::VLine)->setGeometry(place::kForwardSeparator);
  tool(kRefresh, "refresh", "Refreshes the currently viewed web page", [this] {
    view_->Refresh();
  })->setGeometry(place::kRefresh);
  makeFrame(222, QFrame::VLine);
  tool(kCopy, "copy", "Copy selected items to the clipboard", [this] { view_->Copy(); });
  makeFrame(223, QFrame::VLine);
  tool(kPrint, "print", "Prints the current web page", [this] { view_->Print(); });
  makeFrame(224, QFrame::VLine);
  tool(kSideSwitch, "side", "Toggles the left hand pane", [this] { onSideSwitch(); });
  makeFrame(225, QFrame::VLine);
  tool(kHelp, "help", "Launch Deskhaven Help", [this] { showLinksHelp(this); });
  slots_ = makeSideButtons(kSlotIds, [this](int slot) { onSlot(slot); });
  scrollUp_ = makeScrollButton(kScrollUp, false, Icon("scroll-up-hover"), Icon("scroll-up-normal"),
                               QStringLiteral("Press to scroll up through web links"),
                               [this] { onScrollUp(); });
  scrollDown_ = makeScrollButton(
      kScrollDown, true, Icon("scroll-down-hover"), Icon("scroll-down-normal"),
      QStringLiteral("Press to scroll down through web links"), [this] { onScrollDown(); });

  view_ = new CDhvView(browserArea_);
  auto* fill = new QVBoxLayout(browserArea_);
  fill->setContentsMargins(1, 1, 1, 1);
  fill->addWidget(view_);
  view_->setButtons(dh::ui::findById<QAbstractButton>(this, kBack),
                    dh::ui::findById<QAbstractButton>(this, kForward));
  connect(view_, &CDhvView::pageLineChanged, pageLine_, &QLabel::setText);
  // A page's own print() is a press of Print, so it obeys the scheme as the button does.
  connect(view_->page(), &QWebEnginePage::printRequested, this, [this] { press(kPrint); });

  placeFrames();
  layOutPanel();
  layOutToolBar();
  startPage_ = QDir::current().filePath(QStringLiteral("Links.htm"));
  view_->resetHistory(startPage_);
  view_->Navigate2(startPage_);
}

CSitebookForm::~CSitebookForm() = default;

void CSitebookForm::placeFrames() {
  const dh::pageplace::Frames frames = dh::pageplace::stretchFrames(size(), sideShown_);
  toolBarFrame_->setGeometry(frames.toolBar);
  sidePanelFrame_->setGeometry(frames.sidePanel);
  browserArea_->setGeometry(frames.pageArea);
  pageLine_->setGeometry(frames.pageLine);
  placeIndicator();
}

void CSitebookForm::placeIndicator() {
  placeIndicatorAfter(toolBarFrame_->geometry(),
                      dh::ui::findById<QWidget>(this, kHelp)->geometry());
}

void CSitebookForm::layOutPanel() {
  const int links =
      std::min<int>(scheme_.Sitebook.SitebookCount, int(scheme_.Sitebook.Sitemarks.size()));
  panel_.layout(links, sidePanelFrame_->height(), place::kSidePitch);
  showPanel();
}

void CSitebookForm::showPanel() {
  if (panel_.visible() > 0)
    placeScrollDown(scrollDown_, slots_[panel_.visible() - 1]);
  fillSlots();
  showChecks();
  showPanelItems();
}

void CSitebookForm::fillSlots() {
  const QString defaultPicture =
      QString::fromStdString(dh::joinPath(dh::GetDefaultPicturesFolder(), kDefaultLinkPicture));
  for (int slot = 0; slot < panel_.visible(); ++slot) {
    const dh::Sitemark& link = scheme_.Sitebook.Sitemarks[panel_.linkOfSlot(slot)];
    CWinXPButtonST* button = slots_[slot];
    dh::assignPictureOr(*button, toQString(link.IconFile), defaultPicture);
    button->setText(slotCaption(toQString(link.DisplayName)));
    button->SetHoverTip(
        toQString(scheme_.Defaults.ShortToolTips ? link.ShortToolTip : link.LongToolTip));
  }
}

void CSitebookForm::showChecks() {
  const std::optional<int> checked = panel_.checkedSlot();
  for (int slot = 0; slot < dh::SlotPanel::kSlots; ++slot)
    slots_[slot]->SetCheckState(checked == slot);
}

void CSitebookForm::showPanelItems() {
  sidePanelFrame_->setVisible(sideShown_);
  for (int slot = 0; slot < dh::SlotPanel::kSlots; ++slot)
    slots_[slot]->setVisible(sideShown_ && panel_.slotInUse(slot));
  scrollUp_->setVisible(sideShown_ && panel_.scrollUpInUse());
  scrollDown_->setVisible(sideShown_ && panel_.scrollDownInUse());
}

void CSitebookForm::layOutToolBar() {
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

void CSitebookForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  placeFrames();
  panel_.fit(sidePanelFrame_->height(), place::kSidePitch);
  showPanel();
}

void CSitebookForm::onSlot(int slot) {
  const int link = panel_.open(slot);
  showChecks();
  view_->linkOpened();
  view_->Navigate2(toQString(scheme_.Sitebook.Sitemarks[link].URL));
}

void CSitebookForm::onScrollDown() {
  if (panel_.scrollDown())
    showPanel();
}

void CSitebookForm::onScrollUp() {
  if (panel_.scrollUp())
    showPanel();
}

void CSitebookForm::onBack() {
  panel_.clearTick();
  showChecks();
  view_->GoBack();
}

void CSitebookForm::onForward() {
  panel_.clearTick();
  showChecks();
  view_->GoForward();
}

void CSitebookForm::onSideSwitch() {
  sideShown_ = !sideShown_;
  showPanelItems();
  placeFrames();
}

void CSitebookForm::onHover(CButtonST* button) {
  QString text = button->getHoverTip();
  const auto slot = std::find(slots_.begin(), slots_.end(), button);
  if (slot != slots_.end()) {
    const bool useShort = scheme_.readShortToolTips();
    const dh::Sitemark& link =
        scheme_.Sitebook.Sitemarks[panel_.linkOfSlot(int(slot - slots_.begin()))];
    text = toQString(useShort ? link.ShortToolTip : link.LongToolTip);
  }
  helper_.Say(text.toStdString());
}

void CSitebookForm::reload() {
  selectScheme();
  panel_.forgetOpened();
  layOutPanel();
  layOutToolBar();
  startPage_ = QDir::current().filePath(QStringLiteral("Links.htm"));
  view_->resetHistory(startPage_);
}

} // namespace dh::sitebook
