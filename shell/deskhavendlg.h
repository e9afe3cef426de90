// The shell's main window: the top row of page buttons, class, Change Class, Options and
// logo, and the frame in which the page controls live. It tests and creates the page
// controls from the page table and the user's scheme, switches pages, forwards keyboard
// commands to the page on show, and rebuilds the pages when the pupil's class changes.
#pragma once

#include "common/pagecommand.h"
#include "common/scheme.h"
#include "shell/pagetable.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QFrame;

namespace dh {
class CButtonST;
class CWinXPButtonST;
class OnScreenHelper;
} // namespace dh

namespace dh::shell {

class COptionsMenu;

class CDeskhavenDlg : public QWidget {
  Q_OBJECT

public:
  // How the process ends on the fatal error; the default exits at once. Tests record it.
  using ExitProcess = std::function<void(int code)>;

  static constexpr int kClassTimerMs = 1000;

  // Reads and tests the page table, then runs the whole set-up, which shows the window.
  explicit CDeskhavenDlg(ExitProcess exitProcess = {}, QWidget* parent = nullptr);
  ~CDeskhavenDlg() override;

  // A shortcut's page command: sent to the control of the page on show.
  void OnCommand(PageCommand command);
  // BN_CLICKED of a page button (page 1 to 3).
  void onPageButton(int page);
  // One tick of the class timer.
  void onClassTimer();
  void RefreshAfterClassChange();
  // Maximised, and covering the screen by itself where no window manager maximises it.
  void showMaximisedOverScreen();

  // The page on show (1 to 3), or 0.
  int currentPage() const { return current_; }
  // A page's control, null when it was not created.
  QWidget* pageControl(int page) const { return controls_[page - 1]; }
  const PageRecords& pages() const { return pages_; }
  const DhvScheme& scheme() const { return scheme_; }
  QString currentClass() const { return currentClass_; }
  bool speakingFlag() const { return speaking_; }
  const QTimer& classTimer() const { return classTimer_; }
  COptionsMenu* optionsMenu() const { return optionsMenu_; }

signals:
  // The pupil closed the window and chose to log off: the program's run is over.
  void closed();

protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  bool pageSetUp();
  void layOutTopRow();
  QRect outerRect() const;
  void setUpClassButtons();
  void setUpLogo();
  void setUpButtonPictures();
  void createPageControls();
  void placePageButtons();
  void showFirstPage();
  void showPage(int page);
  void setPageChecks(int page);
  bool pageOffered(int page) const;
  void fitControls();
  void onChangeClass();
  void onLogo();
  void restoreAfterSelector();
  void onOptionsCommand(int command);
  void speakTip(CButtonST* button);
  CWinXPButtonST* makeXPButton(int id, const QString& caption);
  CWinXPButtonST* pageButton(int page) const { return pageButtons_[page - 1]; }

  ExitProcess exitProcess_;
  PageRecords pages_;
  DhvScheme scheme_;
  int platformMode_ = 99;
  QString currentClass_;
  bool speaking_ = true;
  int current_ = 0;
  std::array<QPointer<QWidget>, kPageCount> controls_;
  std::array<CWinXPButtonST*, kPageCount> pageButtons_{};
  CButtonST* classButton_ = nullptr;
  CWinXPButtonST* changeClass_ = nullptr;
  CWinXPButtonST* options_ = nullptr;
  CButtonST* logo_ = nullptr;
  QFrame* frame_ = nullptr;
  COptionsMenu* optionsMenu_ = nullptr;
  QFont normalFont_;
  QFont boldFont_;
  QString savedDirectory_;
  QTimer classTimer_;
  bool settingUp_ = false; // a set-up's message boxes run the event loop, timer included
  qint64 selectorPid_ = 0; // the class selector last started, while it may still run
  std::unique_ptr<OnScreenHelper> helper_;
};

} // namespace dh::shell
