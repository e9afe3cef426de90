// The Programs page's form: a tool bar (Back, Forward, Help), the side panel of up to
// seven set buttons with two scroll buttons, the caption line naming the current set
// and the list of its programs. It selects its own scheme, reads the program sets,
// starts the program the pupil picks, and follows profile updates while it lives.
#pragma once

#include "common/ui/pageform.h"
#include "programs/profilewatcher.h"
#include "programs/programsetlist.h"
#include "programs/setpanel.h"

#include <array>

class QFrame;
class QLabel;
class QListWidget;

namespace dh::programs {

class CProgramsForm : public CPageForm {
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
  };
  static constexpr std::array<int, kSideButtons> kSetButtonIds = {249, 228, 229, 230,
                                                                  231, 232, 233};
  static_assert(SetPanel::kButtons == kSideButtons);
  static constexpr unsigned kHelpContext = 50001;

  explicit CProgramsForm(QWidget* parent = nullptr);
  ~CProgramsForm() override;

  const ProgramSetList& programSetList() const { return setList_; }
  const SetPanel& panel() const { return panel_; }
  QListWidget* list() const { return list_; }

  // Starts the selected program; "File Problem" when it cannot be started.
  void launch();
  // Reads the program sets again and shows the first.
  void rebuild();
  // Selects the scheme again (after a change of class), then rebuilds.
  void reload();

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
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

  ProgramSetList setList_;
  SetPanel panel_;

  QFrame* toolBarFrame_;
  QFrame* sidePanelFrame_;
  QLabel* captionLine_;
  QListWidget* list_;
  CWinXPButtonST* back_ = nullptr;
  CWinXPButtonST* forward_ = nullptr;
  SideButtons setButtons_{};
  CButtonST* scrollUp_ = nullptr;
  CButtonST* scrollDown_ = nullptr;
  // Last, so that it stops before the items it rebuilds go.
  ProfileWatcher watcher_;
};

} // namespace dh::programs
