// The Programs page's form: a tool bar (Back, Forward, Help), the side panel of up to
// seven set buttons with two scroll buttons, the caption line naming the current set
// and the list of its programs. It selects its own scheme, reads the program sets,
// starts the program the pupil picks, and follows profile updates while it lives.
#pragma once

#include "common/scheme.h"
#include "common/ui/onscreenhelper.h"
#include "programs/profilewatcher.h"
#include "programs/programsetlist.h"
#include "programs/setpanel.h"

#include <QWidget>

#include <array>

class QFrame;
class QLabel;
class QListWidget;

namespace dh {
class CButtonST;
class CWinXPButtonST;
} // namespace dh

namespace dh::programs {

class CProgramsForm : public QWidget {
  Q_OBJECT

public:
  // The ids of the form's items, kept as their object names ("id212").
  enum ItemId {
    kToolBarFrame = 210,
    kSidePanelFrame = 211,
    kBack = 212,
    kForward = 213,
    kHelp = 215,
    kCaptionLine = 216,
    kProgramList = 217,
    kScrollUp = 226,
    kScrollDown = 227,
    kIndicator = 65518,
  };
  static constexpr std::array<int, SetPanel::kButtons> kSetButtonIds = {249, 228, 229, 230,
                                                                        231, 232, 233};
  static constexpr unsigned kHelpContext = 50001;

  explicit CProgramsForm(QWidget* parent = nullptr);
  ~CProgramsForm() override;

  const ProgramSetList& SetList() const { return setList_; }
  const SetPanel& panel() const { return panel_; }
  QListWidget* list() const { return list_; }
  const dh::DhvScheme& Scheme() const { return scheme_; }

  // Presses a button by id as a click would, if the pupil could press it now: a set or
  // scroll button that is shown, a tool bar button that is shown and enabled.
  bool press(int id);
  // Starts the selected program; "File Problem" when it cannot be started.
  void launch();
  // Reads the program sets again and shows the first.
  void rebuild();
  // Selects the scheme again (after a change of class), then rebuilds.
  void reload();

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  CWinXPButtonST* makeToolButton(int id, const char* icon, const char* tip);
  CButtonST* makeScrollButton(int id, const char* hover, const char* normal, const char* tip);
  void makeSetButtons();
  void placeItems();
  void placeSetButtons();
  void paintSetButtons();
  void showPanelState();
  void showSet(int set);
  void onSetButton(int button);
  void onBack();
  void onForward();
  void onScroll(bool down);
  void onHelp();
  void onHover(CButtonST* button);

  dh::DhvScheme scheme_;
  int mode_ = 0;
  OnScreenHelper helper_;
  ProgramSetList setList_;
  SetPanel panel_;

  QFrame* toolBarFrame_;
  QFrame* sidePanelFrame_;
  QLabel* captionLine_;
  QListWidget* list_;
  QLabel* indicator_;
  CWinXPButtonST* back_ = nullptr;
  CWinXPButtonST* forward_ = nullptr;
  std::array<CWinXPButtonST*, SetPanel::kButtons> setButtons_{};
  CButtonST* scrollUp_ = nullptr;
  CButtonST* scrollDown_ = nullptr;
  // Last, so that it stops before the items it rebuilds go.
  ProfileWatcher watcher_;
};

} // namespace dh::programs
