// The Links page's form: a tool bar across the top, the side panel of web links on the
// left and the browser on the right. It selects and reads its own scheme, lays out its
// tool bar and side panel from it, and lets its OnScreen Helper say the tool tips.
#pragma once

#include "common/scheme.h"
#include "common/slotpanel.h"
#include "common/ui/onscreenhelper.h"

#include <QRect>
#include <QWidget>

#include <array>

class QFrame;
class QLabel;

namespace dh {
class CButtonST;
class CWinXPButtonST;
} // namespace dh

namespace dh::sitebook {

class CDhvView;

class SitebookForm : public QWidget {
  Q_OBJECT

public:
  // The ids of the form's items, kept as their object names ("id209").
  enum ItemId {
    kToolBarFrame = 201,
    kSidePanelFrame = 202,
    kForward = 203,
    kRefresh = 204,
    kPrint = 205,
    kSideSwitch = 206,
    kHelp = 207,
    kBack = 209,
    kScrollUp = 210,
    kScrollDown = 215,
    kPageLine = 218,
    kBrowserArea = 219,
    kCopy = 220,
    kIndicator = 65518,
  };
  static constexpr std::array<int, dh::SlotPanel::kSlots> kSlotIds = {228, 211, 212, 213,
                                                                      214, 216, 217};

  explicit SitebookForm(QWidget* parent = nullptr);
  ~SitebookForm() override;

  CDhvView* View() const { return view_; }
  const dh::DhvScheme& Scheme() const { return scheme_; }
  const dh::SlotPanel& panel() const { return panel_; }
  bool sidePanelShown() const { return sideShown_; }
  QString startPage() const { return startPage_; }

  // Presses a button by id as a click would, if the pupil could press it now: a slot or
  // scroll button that is shown, a tool bar button that is shown and enabled. Returns
  // whether it was pressed.
  bool press(int id);
  // Selects the scheme again and rebuilds the side panel and tool bar; the page on show
  // stays.
  void reload();

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  CWinXPButtonST* makeToolButton(int id, const char* icon, const char* tip);
  CButtonST* makeScrollButton(int id, const char* hover, const char* normal, const char* tip);
  void makeSlots();
  void placeFrames();
  void layOutPanel();
  void showPanel();
  void fillSlots();
  void showChecks();
  void showPanelItems();
  void layOutToolBar();
  void placeIndicator();

  void onSlot(int slot);
  void onScrollDown();
  void onScrollUp();
  void onBack();
  void onForward();
  void onSideSwitch();
  void onHover(CButtonST* button);

  dh::DhvScheme scheme_;
  int mode_ = 0;
  OnScreenHelper helper_;
  dh::SlotPanel panel_;
  bool sideShown_ = true;
  QString startPage_;

  QFrame* toolBarFrame_;
  QFrame* sidePanelFrame_;
  QFrame* browserArea_;
  QLabel* pageLine_;
  QLabel* indicator_;
  std::array<CWinXPButtonST*, dh::SlotPanel::kSlots> slots_{};
  CButtonST* scrollUp_ = nullptr;
  CButtonST* scrollDown_ = nullptr;
  CDhvView* view_ = nullptr;
};

} // namespace dh::sitebook
