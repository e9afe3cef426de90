// The Links page's form: a tool bar across the top, the side panel of web links on the
// left and the browser on the right. It selects and reads its own scheme, lays out its
// tool bar and side panel from it, and lets its OnScreen Helper say the tool tips.
#pragma once

#include "common/slotpanel.h"
#include "common/ui/pageform.h"

#include <QRect>

#include <array>

class QFrame;
class QLabel;

namespace dh::sitebook {

class CDhvView;

class CSitebookForm : public CPageForm {
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
  };
  static constexpr std::array<int, kSideButtons> kSlotIds = {228, 211, 212, 213, 214, 216, 217};
  static_assert(dh::SlotPanel::kSlots == kSideButtons);

  explicit CSitebookForm(QWidget* parent = nullptr);
  ~CSitebookForm() override;

  CDhvView* view() const { return view_; }
  const dh::SlotPanel& panel() const { return panel_; }
  bool sidePanelShown() const { return sideShown_; }
  QString startPage() const { return startPage_; }

  // Selects the scheme again and rebuilds the side panel and tool bar; the page on show
  // stays.
  void reload();

protected:
  void resizeEvent(QResizeEvent* event) override;
  // A slot's tip is read afresh, so that a change of "Short Tool Tips" shows at once.
  void onHover(CButtonST* button) override;

private:
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

  dh::SlotPanel panel_;
  bool sideShown_ = true;
  QString startPage_;

  QFrame* toolBarFrame_;
  QFrame* sidePanelFrame_;
  QFrame* browserArea_;
  QLabel* pageLine_;
  SideButtons slots_{};
  CButtonST* scrollUp_ = nullptr;
  CButtonST* scrollDown_ = nullptr;
  CDhvView* view_ = nullptr;
};

} // namespace dh::sitebook
