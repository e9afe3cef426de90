#include "programs/programsform.h"

#include "programs/launcher.h"
#include "programs/setcaption.h"

#include "common/platformmode.h"
#include "common/sessionobjects.h"
#include "common/settings.h"
#include "common/ui/pageplaces.h"
#include "common/ui/winxpbuttonst.h"
#include "platform/help/helpwindow.h"
#include "platform/ui/controlid.h"
#include "platform/ui/messageservice.h"

#include <QFileInfo>
#include <QFrame>
#include <QHash>
#include <QLabel>
#include <QListWidget>
#include <QMimeDatabase>
#include <QStyle>

namespace dh::programs {

namespace {

// The places of the form's own items; the rest are those every page form shares.
namespace place {
using namespace dh::pageplace;
constexpr QRect kHelp(112, 13, 40, 40);
} // namespace place

constexpr const char* kDefaultSetPicture = "default_ProgSet.bmp";
constexpr int kIconSize = 32;

// One icon per picture, so that a long list draws each picture once.
QIcon Icon(const char* name) {
  static QHash<QString, QIcon> icons;
  const QString path = QStringLiteral(":/programs/icons/%1.svg").arg(QLatin1String(name));
  auto icon = icons.constFind(path);
  if (icon == icons.constEnd())
    icon = icons.insert(path, QIcon(path));
  return *icon;
}

bool isWebPage(const QString& path) {
  return path.endsWith(QLatin1String("htm"), Qt::CaseInsensitive) ||
         path.endsWith(QLatin1String("tml"), Qt::CaseInsensitive);
}

// The entry's own icon, else the icon of its target's type; programs without one of
// their own get the page's program icon.
QIcon programIcon(const ProgramEntry& program, const QStyle* style) {
  if (isWebPage(program.LinkPath) || isWebPage(program.FilePath))
    return Icon("webpage");
  if (!program.Icon.isEmpty()) {
    const QIcon own =
        QFileInfo(program.Icon).isAbsolute() ? QIcon(program.Icon) : QIcon::fromTheme(program.Icon);
    if (!own.isNull() && !own.availableSizes().isEmpty())
      return own;
  }
  const QFileInfo target(program.FilePath);
  if (target.isExecutable() && target.isFile())
    return QIcon::fromTheme(QStringLiteral("application-x-executable"), Icon("program"));
  const QMimeType type =
      QMimeDatabase().mimeTypeForFile(program.FilePath, QMimeDatabase::MatchExtension);
  return QIcon::fromTheme(
      type.iconName(),
      QIcon::fromTheme(type.genericIconName(), style->standardIcon(QStyle::SP_FileIcon)));
}

void fileProblem(QWidget* parent) {
  dh::ui::beep();
  dh::ui::showMessage(parent,
                      QStringLiteral("There has been a problem locating this file.\n"
                                     "It is recommended you inform your system administrator\n"
                                     "of this error"),
                      QStringLiteral("File Problem"), dh::ui::Icon::Information);
}

} // namespace

CProgramsForm::CProgramsForm(QWidget* parent) : CPageForm(parent) {
  setObjectName(QStringLiteral("ProgramsForm"));
  setStyleSheet(
      QStringLiteral("#id210, #id211 { background: palette(base); border: 1px solid palette(mid);"
                     " border-radius: 6px; }"
                     "#id216 { color: palette(text); padding-left: 2px; }"));

  toolBarFrame_ = makeFrame(kToolBarFrame, QFrame::StyledPanel);
  sidePanelFrame_ = makeFrame(kSidePanelFrame, QFrame::StyledPanel);
  makeIndicator();
  captionLine_ = new QLabel(QStringLiteral("Current Program Set:"), this);
  dh::ui::setControlId(captionLine_, kCaptionLine);

  back_ =
      makeToolButton(kBack, Icon("back"), QStringLiteral("Display a previously viewed program set"),
                     [this] { onBack(); });
  back_->setGeometry(place::kBack);
  forward_ = makeToolButton(kForward, Icon("forward"),
                            QStringLiteral("Display the next viewed program set"),
                            [this] { onForward(); });
  forward_->setGeometry(place::kForward);
  auto* separator = new QFrame(this);
  separator->setFrameShape(QFrame::VLine);
  separator->setGeometry(place::kForwardSeparator);
  makeToolButton(kHelp, Icon("help"), QStringLiteral("Launch Deskhaven Help"), [this] {
    onHelp();
  })->setGeometry(place::kHelp);
  setButtons_ = makeSideButtons(kSetButtonIds, [this](int index) { onSetButton(index); });
  scrollUp_ = makeScrollButton(kScrollUp, false, Icon("scroll-up-hover"), Icon("scroll-up-normal"),
                               QStringLiteral("Press to scroll up through program sets"),
                               [this] { onScroll(false); });
  scrollDown_ = makeScrollButton(
      kScrollDown, true, Icon("scroll-down-hover"), Icon("scroll-down-normal"),
      QStringLiteral("Press to scroll down through program sets"), [this] { onScroll(true); });

  list_ = new QListWidget(this);
  dh::ui::setControlId(list_, kProgramList);
  list_->setAccessibleName(QStringLiteral("Programs"));
  list_->setViewMode(QListView::IconMode);
  list_->setIconSize(QSize(kIconSize, kIconSize));
  list_->setGridSize(QSize(120, 84));
  list_->setResizeMode(QListView::Adjust);
  list_->setMovement(QListView::Static);
  list_->setWordWrap(true);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  // A double click and Enter activate; a right click starts the selected program too.
  connect(list_, &QListWidget::itemActivated, this, &CProgramsForm::launch);
  connect(list_, &QWidget::customContextMenuRequested, this, &CProgramsForm::launch);

  placeItems();
  rebuild();
  watcher_.Start(
      this, [this] { rebuild(); }, dh::kProfileUpdatedEvent);
}

CProgramsForm::~CProgramsForm() = default;

void CProgramsForm::placeItems() {
  const dh::pageplace::Frames frames = dh::pageplace::stretchFrames(size());
  toolBarFrame_->setGeometry(frames.toolBar);
  sidePanelFrame_->setGeometry(frames.sidePanel);
  captionLine_->setGeometry(frames.pageLine);
  list_->setGeometry(frames.pageArea);
  placeIndicatorAfter(frames.toolBar, place::kHelp);
}

void CProgramsForm::placeSetButtons() {
  if (panel_.visibleButtons() > 0)
    placeScrollDown(scrollDown_, setButtons_[panel_.visibleButtons() - 1]);
}

void CProgramsForm::paintSetButtons() {
  const QString defaultPicture =
      QString::fromStdString(dh::joinPath(dh::GetDefaultPicturesFolder(), kDefaultSetPicture));
  for (int index = 0; index < panel_.visibleButtons(); ++index) {
    const ProgramSet& set = setList_.sets()[panel_.setOfButton(index)];
    CWinXPButtonST* button = setButtons_[index];
    dh::assignPictureOr(*button, set.Picture, defaultPicture);
    button->setText(setButtonCaption(set.Name));
    button->SetHoverTip(setButtonTip(set.Name));
  }
}

void CProgramsForm::showPanelState() {
  const std::optional<int> checked = panel_.checkedButton();
  for (int index = 0; index < SetPanel::kButtons; ++index) {
    setButtons_[index]->setVisible(index < panel_.visibleButtons());
    setButtons_[index]->SetCheckState(checked == index);
  }
  scrollUp_->setVisible(panel_.scrollUpInUse());
  scrollDown_->setVisible(panel_.scrollDownInUse());
  back_->setEnabled(panel_.canGoBack());
  forward_->setEnabled(panel_.canGoForward());
}

void CProgramsForm::showSet(int set) {
  const ProgramSet& shown = setList_.sets()[set];
  // A label shows an ampersand as it is; only button captions double it.
  captionLine_->setText(QStringLiteral("Current Program Set: ") + shown.Name);
  list_->clear();
  for (const ProgramEntry& program : shown.Programs)
    new QListWidgetItem(programIcon(program, style()), program.DisplayName, list_);
}

void CProgramsForm::rebuild() {
  setList_.ReadPictureFolders();
  const bool loaded = setList_.LoadSets(setList_.GetLocation());
  panel_.reset(int(setList_.sets().size()), sidePanelFrame_->height(), place::kSidePitch);
  placeSetButtons();
  paintSetButtons();
  showPanelState();
  if (panel_.setCount() > 0)
    showSet(0);
  else
    list_->clear();
  // A share that is not mounted yet, or not open to this user: said on the page, which
  // stays as it was (empty at first) until the folder can be read.
  if (!loaded)
    captionLine_->setText(
        QStringLiteral("The program sets cannot be read from %1. Please inform your Network "
                       "Administrator of this problem.")
            .arg(setList_.location()));
}

void CProgramsForm::reload() {
  selectScheme();
  rebuild();
}

void CProgramsForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  placeItems();
  panel_.fit(sidePanelFrame_->height(), place::kSidePitch);
  placeSetButtons();
  paintSetButtons();
  showPanelState();
}

void CProgramsForm::launch() {
  const QList<QListWidgetItem*> selected = list_->selectedItems();
  if (selected.isEmpty() || panel_.setCount() == 0)
    return;
  const ProgramSet& set = setList_.sets()[panel_.currentSet()];
  const int row = list_->row(selected.front());
  if (row < 0 || row >= int(set.Programs.size()) || !launchProgram(set.Programs[row].LinkPath))
    fileProblem(this);
}

void CProgramsForm::onSetButton(int button) {
  const std::optional<int> set = panel_.choose(button);
  showPanelState();
  if (set)
    showSet(*set);
}

void CProgramsForm::onBack() {
  if (const std::optional<int> set = panel_.back())
    showSet(*set);
  showPanelState();
}

void CProgramsForm::onForward() {
  if (const std::optional<int> set = panel_.forward())
    showSet(*set);
  showPanelState();
}

void CProgramsForm::onScroll(bool down) {
  if (!(down ? panel_.scrollDown() : panel_.scrollUp()))
    return;
  paintSetButtons();
  showPanelState();
}

void CProgramsForm::onHelp() {
  const QString path = QString::fromStdString(dh::readSetting(dh::setting::kHelpPath));
  if (dh::help::showHelp(path, kHelpContext))
    return;
  const QString reason = path.isEmpty()
                             ? QStringLiteral("No help file is named in the settings.")
                             : QStringLiteral("The help file %1 could not be opened.").arg(path);
  dh::ui::beep();
  dh::ui::showMessage(
      this, QStringLiteral("There has been a problem locating the help file.\n\n") + reason,
      QStringLiteral("Help Problem"), dh::ui::Icon::Information);
}

} // namespace dh::programs
