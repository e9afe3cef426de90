#include "shell/deskhavendlg.h"

#include "common/pagecommand.h"
#include "common/platformmode.h"
#include "common/settings.h"
#include "common/ui/buttonst.h"
#include "common/ui/onscreenhelper.h"
#include "common/ui/winxpbuttonst.h"
#include "platform/components/componenthost.h"
#include "platform/ui/busywork.h"
#include "platform/ui/controlid.h"
#include "platform/ui/keyboardpart.h"
#include "platform/ui/messageservice.h"
#include "shell/aboutdlg.h"
#include "shell/accelerators.h"
#include "shell/currentclass.h"
#include "shell/logoff.h"
#include "shell/optionsmenu.h"
#include "shell/toprow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFrame>
#include <QProcess>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

// The pictures are linked from a static library, which Qt does not register by itself.
static void initShellResources() {
  Q_INIT_RESOURCE(shell);
}

namespace dh::shell {

namespace {

using ui::Icon;

constexpr int kFatalExitCode = 1;
// The level of the application's own event loop; a deeper one is a modal loop.
constexpr int kMainLoopLevel = 1;
const QColor kLogoTransparent(0xFF, 0x00, 0xFF);

const char* const kFatalText =
    "There has been a problem starting Deskhaven.\nDeskhaven cannot run with the current "
    "settings and\nmust now exit.\n\nPlease inform your Network Administrator of this problem.";
const char* const kNoRootsText = "There are no usable roots within the specified scheme.\nThe "
                                 "My Files tab will be disabled";
const char* const kClassSelectorText =
    "There has been a problem locating Class Selector.\nIt is recommended you inform your "
    "system administrator\nof this error";

// The pictures are drawn at the size that suits the row at the template font, not their own.
QIcon icon(const char* path) {
  constexpr int kIconSize = 18;
  return QIcon(QIcon(QString::fromLatin1(path)).pixmap(kIconSize, kIconSize));
}

void exitAtOnce(int code) {
  std::fflush(nullptr);
  std::_Exit(code);
}

// The first-page orders of DefaultFirstTab 1, 2 and 3.
constexpr int kFirstPageOrder[3][3] = {{1, 2, 3}, {2, 3, 1}, {3, 1, 2}};

} // namespace

CDeskhavenDlg::CDeskhavenDlg(ExitProcess exitProcess, QWidget* parent)
    : QWidget(parent), exitProcess_(exitProcess ? std::move(exitProcess) : exitAtOnce) {
  initShellResources();
  pages_ = readPageTable();
  testPageTable(pages_);

  ui::setControlId(this, 102);
  setWindowTitle(QStringLiteral("Deskhaven 2"));
  // The session's window manager knows the desktop by this role (data/openbox/rc.xml).
  setWindowRole(QStringLiteral("deskhaven-desktop"));
  setWindowIcon(QIcon(QStringLiteral(":/shell/deskhaven.svg")));
  normalFont_ = QApplication::font();
  boldFont_ = normalFont_;
  boldFont_.setWeight(QFont::DemiBold);

  for (int page = 1; page <= kPageCount; ++page) {
    static const char* const captions[] = {"&Programs", "My &Files", "&Links"};
    CWinXPButtonST* button = makeXPButton(pageIdentity(page).buttonId, captions[page - 1]);
    button->setCheckable(true);
    button->SetHoverTip(QString::fromLatin1(pageIdentity(page).toolTip));
    connect(button, &QPushButton::clicked, this, [this, page] { onPageButton(page); });
    pageButtons_[page - 1] = button;
  }
  classButton_ = new CButtonST(this);
  ui::setControlId(classButton_, 1018);
  classButton_->SetBorderOnHover(false);
  classButton_->setFont(boldFont_);
  changeClass_ = makeXPButton(1001, QStringLiteral("C&hange Class"));
  changeClass_->SetHoverTip(QStringLiteral("Opens class selector"));
  connect(changeClass_, &QPushButton::clicked, this, &CDeskhavenDlg::onChangeClass);
  options_ = makeXPButton(1000, QStringLiteral("&Options"));
  options_->SetHoverTip(QStringLiteral("Allows you to configure the OnScreen Helper"));
  optionsMenu_ = new COptionsMenu(options_);
  options_->AttachMenu(optionsMenu_);
  connect(optionsMenu_, &COptionsMenu::chosen, this, &CDeskhavenDlg::onOptionsCommand);
  logo_ = new CButtonST(this);
  ui::setControlId(logo_, 1017);
  logo_->SetHoverTip(QStringLiteral("Deskhaven 2"));
  logo_->SetBorderOnHover(false);
  connect(logo_, &QPushButton::clicked, this, &CDeskhavenDlg::onLogo);
  connect(classButton_, &CButtonST::hoverTimeout, this, &CDeskhavenDlg::speakTip);
  connect(logo_, &CButtonST::hoverTimeout, this, &CDeskhavenDlg::speakTip);
  // The keyboard belongs to the page on show, so Enter and Tab reach its controls; the
  // row's buttons take it only by F6 and the arrow keys, which hand it to them directly:
  // out of the focus chain, Tab and a control that passes the focus on (the web page past
  // its last link, a page hidden while it has it) never land on them. The class button
  // only shows the class.
  for (auto* button : findChildren<QPushButton*>(Qt::FindDirectChildrenOnly)) {
    button->setAutoDefault(false);
    if (button != classButton_)
      ui::setKeyboardPart(button, ui::KeyboardPart::TopRow);
    button->setFocusPolicy(Qt::NoFocus);
  }

  frame_ = new QFrame(this);
  ui::setControlId(frame_, 1009);
  frame_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  frame_->installEventFilter(this);

  helper_ = std::make_unique<OnScreenHelper>();
  classTimer_.setInterval(kClassTimerMs);
  connect(&classTimer_, &QTimer::timeout, this, &CDeskhavenDlg::onClassTimer);

  // The Links page finds its start page in the run directory.
  const std::string runDir = readSetting(setting::kRunDir);
  if (!runDir.empty()) {
    savedDirectory_ = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(runDir));
  }
  pageSetUp();
}

CDeskhavenDlg::~CDeskhavenDlg() {
  classTimer_.stop();
  for (auto& control : controls_)
    delete control;
  if (!savedDirectory_.isEmpty())
    QDir::setCurrent(savedDirectory_);
}

CWinXPButtonST* CDeskhavenDlg::makeXPButton(int number, const QString& caption) {
  auto* button = new CWinXPButtonST(this);
  ui::setControlId(button, number);
  button->setText(caption);
  button->setFont(normalFont_);
  button->SetRoundedFrame(true);
  setPageButtonColours(*button);
  connect(button, &CButtonST::hoverTimeout, this, &CDeskhavenDlg::speakTip);
  return button;
}

bool CDeskhavenDlg::pageSetUp() {
  const QScopedValueRollback settingUp(settingUp_, true);
  for (auto& control : controls_)
    delete control; // the previous set goes before the new one is made
  current_ = 0;
  // The page buttons show again once placed; until then a set-up message box would show
  // them piled up at the corner.
  for (int page = 1; page <= kPageCount; ++page)
    pageButton(page)->hide();
  platformMode_ = kShellDefaultMode;
  showMaximisedOverScreen();

  platformMode_ = queryPlatformMode(kShellDefaultMode);
  if (modeReadsClassAtSetUp(platformMode_))
    currentClass_ = QString::fromStdString(ReadCurrentClassForButton(platformMode_));
  const std::string selected = scheme_.SelectScheme(platformMode_);
  if (QString::fromStdString(selected).compare(DhvScheme::kError, Qt::CaseInsensitive) == 0) {
    ui::showMessage(this, kFatalText, QStringLiteral("Fatal Error"), Icon::Error);
    // Not 0: a session manager or an administrator's script must see that it failed.
    exitProcess_(kFatalExitCode);
    return false;
  }
  speaking_ = scheme_.Defaults.Silent == 0;
  helper_->SetSchemeName(scheme_.SchemeName);

  layOutTopRow();
  setUpClassButtons();
  setUpLogo();
  setUpButtonPictures();
  options_->setVisible(scheme_.Defaults.OptionsMenu != 0);

  if (scheme_.FolderDisplay.RootFolderCount == 0) {
    // Only a page that would be offered is worth a message.
    if (scheme_.TabSelection.Page2)
      ui::showMessage(this, kNoRootsText, QStringLiteral("No Usable Roots"), Icon::Warning);
    scheme_.TabSelection.Page2 = 0;
  }
  const std::string failed = activeXErrorText(pages_);
  if (!failed.empty())
    ui::showMessage(this, QString::fromStdString(failed), QStringLiteral("Active X Error"),
                    Icon::Error);

  createPageControls();
  placePageButtons();
  showFirstPage();
  for (int page = 1; page <= kPageCount; ++page)
    if (!pageOffered(page))
      pageButton(page)->hide();

  optionsMenu_->checkHelperOn(false);
  optionsMenu_->checkShortMessages(scheme_.Defaults.ShortToolTips != 0);
  optionsMenu_->checkSilent(scheme_.Defaults.Silent != 0);
  if (!currentClass_.isEmpty())
    classTimer_.start();
  return true;
}

QRect CDeskhavenDlg::outerRect() const {
  const QRect frame = frameGeometry();
  QRect outer(frame.topLeft() - geometry().topLeft(), frame.size());
  // The sides and the bottom stop at the client area, so that neither the logo nor the
  // frame's edges hide under the window's border.
  outer.setLeft(std::max(outer.left(), 0));
  outer.setRight(std::min(outer.right(), width() - 1));
  outer.setBottom(std::min(outer.bottom(), height() - 1));
  return outer;
}

void CDeskhavenDlg::layOutTopRow() {
  const TopRow row = dh::shell::layOutTopRow(outerRect(), ui::DialogUnits(normalFont_));
  logo_->setGeometry(row.logo);
  options_->setGeometry(row.options);
  changeClass_->setGeometry(row.changeClass);
  classButton_->setGeometry(row.classButton);
  frame_->setGeometry(row.frame);
}

void CDeskhavenDlg::setUpClassButtons() {
  const bool hasClass = !currentClass_.isEmpty() && modeShowsClass(platformMode_);
  if (hasClass) {
    classButton_->SetHoverTip(currentClass_);
    classButton_->setText(classCaption(currentClass_, 20, 17));
  }
  classButton_->setVisible(hasClass);
  changeClass_->setVisible(hasClass && modeOffersClassChange(platformMode_));
}

void CDeskhavenDlg::setUpLogo() {
  const QString file = QString::fromStdString(joinPath(GetDefaultPicturesFolder(), "Logo.bmp"));
  const QPixmap logo(file);
  if (!logo.isNull())
    logo_->AssignBitmaps(logo, kLogoTransparent);
}

void CDeskhavenDlg::setUpButtonPictures() {
  for (int page = 1; page <= kPageCount; ++page)
    pageButton(page)->AssignIcons(icon(pageIdentity(page).hoverIcon),
                                  icon(pageIdentity(page).normalIcon));
  changeClass_->AssignIcons(icon(":/shell/class-hover.svg"), icon(":/shell/class-normal.svg"));
  options_->AssignIcons(icon(":/shell/options-hover.svg"), icon(":/shell/options-normal.svg"));
}

bool CDeskhavenDlg::pageOffered(int page) const {
  const TabSelectionSection& tabs = scheme_.TabSelection;
  return (page == 1 ? tabs.Page1 : page == 2 ? tabs.Page2 : tabs.Page3) != 0;
}

void CDeskhavenDlg::createPageControls() {
  for (int page = kPageCount; page >= 1; --page) {
    const PageRecord& record = pages_[page - 1];
    if (record.IsOK != 1 || !pageOffered(page))
      continue;
    const auto made = component::createControl(record.Clsid, frame_, pageIdentity(page).windowId);
    if (made.ok() && made.widget) {
      made.widget->hide();
      controls_[page - 1] = made.widget;
    }
  }
  fitControls();
}

void CDeskhavenDlg::fitControls() {
  // The controls fill the frame's inside, so that no part of a page is cut off.
  for (auto& control : controls_)
    if (control)
      control->setGeometry(frame_->contentsRect());
}

void CDeskhavenDlg::placePageButtons() {
  const auto rects =
      pageButtonRects(pageOffered(1), pageOffered(2), pageOffered(3), ui::DialogUnits(normalFont_));
  for (int page = 1; page <= kPageCount; ++page) {
    pageButton(page)->setGeometry(rects[page - 1]);
    pageButton(page)->setVisible(pages_[page - 1].IsOK != 0);
  }
}

void CDeskhavenDlg::showFirstPage() {
  const int first = scheme_.Defaults.DefaultFirstTab;
  if (first < 1 || first > 3)
    return;
  for (int page : kFirstPageOrder[first - 1]) {
    if (pageControl(page)) {
      showPage(page);
      setPageChecks(page);
      return;
    }
  }
}

void CDeskhavenDlg::showPage(int page) {
  if (QWidget* control = pageControl(page)) {
    control->show();
    control->raise();
    // The keyboard goes with the page: a key must never reach the page just hidden.
    if (!control->isAncestorOf(QApplication::focusWidget()))
      control->setFocus(Qt::OtherFocusReason);
  }
  current_ = page;
  const QIcon hover = icon(pageIdentity(page).hoverIcon);
  pageButton(page)->AssignIcons(hover, hover);
}

void CDeskhavenDlg::setPageChecks(int page) {
  for (int p = 1; p <= kPageCount; ++p)
    pageButton(p)->SetCheckState(p == page);
}

void CDeskhavenDlg::onPageButton(int page) {
  if (pageButton(page)->isVisible() && current_ != page) {
    for (int other = 1; other <= kPageCount; ++other) {
      if (other == page || !pageOffered(other))
        continue;
      if (QWidget* control = pageControl(other))
        control->hide();
      pageButton(other)->AssignIcons(icon(pageIdentity(other).hoverIcon),
                                     icon(pageIdentity(other).normalIcon));
    }
    showPage(page);
  }
  setPageChecks(page);
}

void CDeskhavenDlg::OnCommand(PageCommand command) {
  if (current_ == 0)
    return;
  if (QWidget* control = pageControl(current_))
    sendPageCommand(control, command);
}

void CDeskhavenDlg::onClassTimer() {
  // A change seen while a set-up waits on a message box is taken at the tick after it.
  if (settingUp_)
    return;
  restoreAfterSelector();
  // A dialog, message box, menu or drag of a page runs its own event loop over the page's
  // control, which the set-up deletes, and so does a long file operation between its
  // steps: a change is taken at the tick after it ends.
  if (QApplication::activeModalWidget() || QApplication::activePopupWidget() ||
      QThread::currentThread()->loopLevel() > kMainLoopLevel || ui::busy())
    return;
  const auto polled = readPolledClass(platformMode_);
  if (!polled)
    return;
  const QString read = QString::fromStdString(*polled);
  if (read.compare(currentClass_, Qt::CaseInsensitive) == 0)
    return;
  currentClass_ = read;
  RefreshAfterClassChange();
  for (auto& control : controls_)
    if (control)
      sendPageCommand(control, PageCommand::ClassChanged);
}

void CDeskhavenDlg::RefreshAfterClassChange() {
  // The page set-up selects the scheme for the new class and shows the window again.
  if (modeRereadsClassOnChange(platformMode_))
    currentClass_ = QString::fromStdString(ReadCurrentClassForButton(platformMode_));
  pageSetUp();
}

void CDeskhavenDlg::showMaximisedOverScreen() {
  // A window manager maximises the window; without one the geometry set here is what
  // the pupil sees.
  if (!(windowState() & Qt::WindowMaximized))
    if (QScreen* s = screen())
      setGeometry(s->availableGeometry());
  showMaximized();
  raise();
  activateWindow();
}

void CDeskhavenDlg::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // Restoring the window (from the window manager's menu or by a double click on the
  // caption) maximises it again.
  if (event->type() == QEvent::WindowStateChange && isVisible() &&
      !(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)))
    QTimer::singleShot(0, this, &CDeskhavenDlg::showMaximisedOverScreen);
}

void CDeskhavenDlg::closeEvent(QCloseEvent* event) {
  // The window is the pupil's desktop: closing it ends the session, so it is asked first.
  if (!confirmLogOff()) {
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
  emit closed();
}

void CDeskhavenDlg::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layOutTopRow();
}

bool CDeskhavenDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == frame_ && event->type() == QEvent::Resize)
    fitControls();
  return QWidget::eventFilter(watched, event);
}

void CDeskhavenDlg::speakTip(CButtonST* button) {
  helper_->Say(button->getHoverTip().toStdString());
}

void CDeskhavenDlg::onChangeClass() {
  if (!changeClass_->isVisible())
    return;
  const QString path = QString::fromStdString(readSetting(setting::kClassSelector));
  const QByteArray file = QFile::encodeName(path);
  // A file that exists but will not start (not executable, say) is the same problem to
  // the pupil, and leaves the window as it was.
  if (path.isEmpty() || ::access(file.constData(), F_OK) != 0 ||
      !QProcess::startDetached(path, {}, QString(), &selectorPid_)) {
    ui::beep();
    ui::showMessage(this, kClassSelectorText, QStringLiteral("Class Selector Problem"),
                    Icon::Information);
    return;
  }
  showMinimized();
}

// A class selector closed without a new class leaves nothing that would bring the
// minimised window back, and pupils may have no task bar to do it themselves.
void CDeskhavenDlg::restoreAfterSelector() {
  if (selectorPid_ <= 0)
    return;
  if (::kill(static_cast<pid_t>(selectorPid_), 0) == 0 || errno != ESRCH)
    return; // still choosing
  selectorPid_ = 0;
  if (isMinimized())
    showMaximisedOverScreen();
}

void CDeskhavenDlg::onLogo() {
  ui::beep();
  auto* about = new CAboutDlg(this);
  about->setAttribute(Qt::WA_DeleteOnClose);
  about->setWindowModality(Qt::ApplicationModal);
  about->show();
}

void CDeskhavenDlg::onOptionsCommand(int command) {
  switch (command) {
  case COptionsMenu::HelperOn: {
    const QRect outer = outerRect();
    const QPoint at = mapToGlobal(QPoint(outer.right() + 1 - 170, outer.bottom() + 1 - 150));
    helper_->MoveTo(at.x(), at.y());
    helper_->ShowWithGreeting();
    optionsMenu_->checkHelperOn(true);
    break;
  }
  case COptionsMenu::HelperOff:
    helper_->HideCharacter();
    optionsMenu_->checkHelperOn(false);
    break;
  // The marks show what is stored, which is what the helper and the pages go by: a write
  // that was refused (a pupil cannot write the machine hive) leaves them as they were.
  case COptionsMenu::ShortMessages:
  case COptionsMenu::LongMessages: {
    const bool shortMessages = command == COptionsMenu::ShortMessages;
    if (scheme_.writeShortToolTips(shortMessages))
      optionsMenu_->checkShortMessages(shortMessages);
    break;
  }
  case COptionsMenu::Silent:
    if (scheme_.writeSilent(speaking_)) {
      optionsMenu_->checkSilent(speaking_);
      speaking_ = !speaking_;
    }
    break;
  default:
    break;
  }
}

} // namespace dh::shell
