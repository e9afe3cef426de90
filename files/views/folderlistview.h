// The details view and the icon view of My Files: the roots side panel on the left, the
// caption line, and the entries of the current folder as a list of rows with four columns
// or as icons. The view holds its own copy of the scheme and where it stands; the form
// lends it the shared history and the tool-bar buttons it enables.
#pragma once

#include "common/scheme.h"
#include "common/slotpanel.h"
#include "files/model/foldernavigator.h"
#include "files/model/navigationhistory.h"
#include "files/views/folderitemsmodel.h"
#include "files/views/folderview.h"

#include <array>
#include <memory>
#include <optional>

class QFrame;
class QLabel;

namespace dh {
class CButtonST;
class CWinXPButtonST;
class OnScreenHelper;
} // namespace dh

namespace dh::files {

class CFolderListView : public FolderView {
  Q_OBJECT

public:
  enum class Style { Details, Icons };
  enum ItemId {
    kDetailsTemplate = 231,
    kIconsTemplate = 218,
    kCaption = 223,
    kSidePanel = 224,
    kScrollUp = 226,
    kScrollDown = 230,
    kDetailsList = 234,
    kIconList = 216,
  };
  static constexpr std::array<int, dh::SlotPanel::kSlots> kSlotIds = {225, 227, 228, 229,
                                                                      233, 231, 232};

  // history and visited are the page's, shared with its other views.
  CFolderListView(Style style, NavigationHistory& history,
                  std::shared_ptr<FolderNavigator::Visited> visited, ToolButtons buttons,
                  dh::OnScreenHelper& helper, QWidget* parent = nullptr);
  ~CFolderListView() override;

  Style viewStyle() const { return style_; }
  QAbstractItemView* list() const override { return list_; }
  const FolderNavigator& navigator() const override { return navigator_; }
  const FolderItemsModel& model() const { return model_; }
  const dh::SlotPanel& panel() const { return panel_; }
  QString caption() const override;
  // The selected items, first to last in the list.
  std::vector<ItemRecord> selectedItems() const override;

  // Takes a fresh copy of the scheme: its roots, its tips; lays out the side panel and
  // shows nothing until a root is opened.
  void loadScheme(const dh::DhvScheme& scheme, std::shared_ptr<const OpenRoots> roots) override;
  // As when the view is chosen as the scheme's default: the side panel laid out again,
  // and the first root opened.
  void showDefault() override;
  // The root in slot (from 0), when that slot is shown.
  bool openSlot(int slot);
  // Shows a folder of a root recorded earlier (history, a view switch); when it may not
  // be shown any more the first root is shown instead. Records nothing.
  void replay(const std::string& folder, int root) override;
  void goUp() override;
  // Opens the first selected item (with onlyOne, only when exactly one is selected, as
  // Enter does): a folder within the depth limit, a file with its application.
  void openSelected(bool onlyOne) override;
  // Shows normal (32 x 32) or small (16 x 16) icons.
  void setNormalIcons(bool normal) override;
  bool normalIcons() const { return normalIcons_; }
  // The details view's column heading pressed: sorts by it, each press the other way.
  void sortByColumn(int column);
  bool scrollUp();
  bool scrollDown();
  // Something changed on disk in folder (empty: anywhere): the visible view lists its
  // folder again where it is concerned.
  void folderChanged(const QByteArray& folder) override;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

private:
  void makePanel();
  void makeList();
  void layOut();
  // Lays the side panel out afresh, scrolled to the first root.
  void layOutPanel();
  void placeSlots();
  void fillSlots();
  void showChecks();
  void shown(bool record);
  void relist();
  void selectionChanged();
  void onHover(dh::CButtonST* button);
  bool navigate(bool record);
  // A right click at local (viewport) or, with none, the menu key.
  void offerMenu(std::optional<QPoint> local);
  // The folder of the folder item at local that would take a dropped item.
  std::optional<std::string> dropFolder(QPoint local) const;

  Style style_;
  NavigationHistory& history_;
  ToolButtons buttons_;
  dh::OnScreenHelper& helper_;
  dh::DhvScheme scheme_;
  FolderNavigator navigator_;
  FolderItemsModel model_;
  dh::SlotPanel panel_;
  bool normalIcons_ = true;
  // Per column, the direction of its last sort; each press flips it first, so the first
  // press on the names (listed A to Z) sorts them Z to A, on the other columns upwards.
  std::array<bool, FolderItemsModel::kColumns> ascending_ = {true, false, false, false};

  QFrame* sidePanel_ = nullptr;
  QLabel* caption_ = nullptr;
  std::array<dh::CWinXPButtonST*, dh::SlotPanel::kSlots> slots_{};
  dh::CButtonST* scrollUp_ = nullptr;
  dh::CButtonST* scrollDown_ = nullptr;
  QAbstractItemView* list_ = nullptr;
};

} // namespace dh::files
