// The My Files page's form: the tool bar laid out from the scheme, the user type picture,
// and the view area that shows one folder view at a time. It owns what the views share
// (the roots, the history, the watch on disk) and runs the tool-bar commands.
#pragma once

#include "common/ui/pageform.h"
#include "files/contextmenu.h"
#include "files/filecommands.h"
#include "files/model/foldernavigator.h"
#include "files/model/navigationhistory.h"
#include "files/toolbarlayout.h"
#include "platform/print/printservice.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAbstractButton;
class QActionGroup;
class QFrame;
class QLabel;
class QMimeData;

namespace dh::files {

class CFolderListView;
class CFolderTreeView;
class FolderWatch;
class FolderView;

class CFilesForm : public CPageForm {
  Q_OBJECT

public:
  enum ItemId {
    kToolBarFrame = 201,
    kBack = 202,
    kForward = 203,
    kNewFolder = 204,
    kRename = 205,
    kCut = 206,
    kCopy = 207,
    kPaste = 208,
    kDelete = 209,
    kUndo = 210,
    kPrint = 211,
    kView = 212,
    kIconSize = 213,
    kViewArea = 214,
    kHelp = 216,
    kUp = 217,
  };
  // The buttons in tool-bar order, and the separators in the order they are placed.
  static constexpr std::array<int, kToolBarButtons> kButtonIds = {
      kBack,  kForward, kUp,   kNewFolder, kRename, kCut,      kCopy,
      kPaste, kDelete,  kUndo, kPrint,     kView,   kIconSize, kHelp};
  static constexpr std::array<int, kToolBarSeparators> kSeparatorIds = {218, 219, 220, 221, 222};
  // The view menu's commands.
  enum ViewCommand {
    kOnePaneTree = 32771,
    kTwoPaneTree = 32768,
    kIconView = 32769,
    kDetailsView = 32770
  };
  static constexpr unsigned kHelpContext = 50002;

  explicit CFilesForm(QWidget* parent = nullptr);
  ~CFilesForm() override;

  const NavigationHistory& history() const { return history_; }
  // The view on show.
  FolderView* activeView() const;
  FolderView* viewOf(ViewCommand view) const;
  FolderWatch& watch() const { return *watch_; }
  const FileCommands& commands() const { return commands_; }

  // Presses a button by id as a click would, if the pupil could press it now: a tool-bar
  // button, or a side-panel button of the view on show, that is shown and enabled.
  bool press(int id) override;
  // A view menu command: shows that view where the view on show stood.
  void chooseView(int command);
  // Reads the scheme again and rebuilds every view where it stood.
  void refresh();
  // The class changed: everything starts again from the new scheme.
  void reload();
  // Moves the keyboard focus into the view on show.
  void focusView();
  // Enter in the view on show: opens the selected item.
  void openSelected();
  // What a right-click menu may offer now, by the tool bar's flags and buttons; Print
  // when the first of selected may be printed.
  MenuAvailability availability(const std::vector<ItemRecord>& selected) const;
  // The right-click menu of every view: shows commands (separators 0) at global and
  // carries out the chosen one, Open through open, any other by pressing its button.
  void runContextMenu(const std::vector<int>& commands, QPoint global,
                      const std::function<void()>& open);
  // The drop handler of every view: the item that data carries, dragged within this page,
  // is moved (or copied) into folder. Refused, and nothing happens, when data comes from
  // anywhere else, or the item or folder lies outside the roots or below the folder
  // limit. True when the item was moved or copied.
  bool dropItem(const QMimeData& data, const std::string& folder, bool move);
  // Hands each selected item of the view on show that still exists to the print system.
  void Print();

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  void makeToolBar();
  void makeViews();
  void loadScheme();
  void layOutToolBar();
  void placeFrames();
  void placeIndicatorInToolBar();
  void showView(FolderView* view);
  std::array<FolderView*, 4> views() const;
  void showDefaultView();
  void onBack();
  void onForward();
  void onIconSize();
  // Runs a file command on the view on show, then shows its folder as it is now.
  void runFileCommand(const std::function<void(FolderView&)>& command);
  [[noreturn]] void fatalError();
  // Tells the pupil once per press of Print why the print system refused.
  void printProblem(int press, dh::print::Outcome why);

  NavigationHistory history_;
  // The shortcut targets the views were led to.
  std::shared_ptr<FolderNavigator::Visited> visited_ = std::make_shared<FolderNavigator::Visited>();
  std::shared_ptr<const OpenRoots> roots_;
  bool normalIcons_ = true;
  FileCommands commands_;
  int printPresses_ = 0;
  int printProblemShown_ = 0;

  QFrame* toolBarFrame_ = nullptr;
  QFrame* viewArea_ = nullptr;
  QActionGroup* viewMenu_ = nullptr;
  CFolderListView* details_ = nullptr;
  CFolderListView* icons_ = nullptr;
  CFolderTreeView* onePane_ = nullptr;
  CFolderTreeView* twoPane_ = nullptr;
  FolderView* active_ = nullptr;
  FolderWatch* watch_;
};

} // namespace dh::files
