// The two small dialogs that ask for a name: Folder Creation for a new folder and Rename
// Item for a new item name. Both check the name while it is typed and again on OK, and
// change nothing on disk but the new folder itself.
#pragma once

#include "files/model/namerules.h"
#include "platform/confine/descriptor.h"

#include <QDialog>
#include <QStyle>

class QLineEdit;

namespace dh::files {

// The frame both share: an icon, a prompt, the edit box, OK and Cancel.
class NameDialog : public QDialog {
  Q_OBJECT

public:
  enum ItemId { kOk = 1, kCancel = 2 };

  QLineEdit* edit() const { return edit_; }

protected:
  // icon: a theme icon's name, fallback the style's picture where the theme has none.
  NameDialog(const QString& title, const QString& prompt, const QString& icon,
             QStyle::StandardPixmap fallback, int iconId, int editId, QWidget* parent);
  // Shows message with the stop icon; the dialog stays open.
  void refuse(const NameMessage& message);

private:
  void typed();

  QLineEdit* edit_ = nullptr;
};

class CFolderCreationDlg final : public NameDialog {
  Q_OBJECT

public:
  enum ItemId { kTemplate = 238, kIcon = 229, kEdit = 231 };

  // folder: where the folder is made, as the pupil knows it; at: that folder, held open
  // (the folder is made in it, whatever has taken folder's place since).
  CFolderCreationDlg(const QString& folder, const dh::confine::Descriptor& at,
                     QWidget* parent = nullptr);
  CFolderCreationDlg(const QString&, dh::confine::Descriptor&&, QWidget* = nullptr) = delete;
  // After OK: the full path of the folder made.
  const QString& newFolder() const { return newFolder_; }

  void accept() override;

private:
  QString folder_;
  const dh::confine::Descriptor& at_;
  QString newFolder_;
};

class CRenameItemDlg final : public NameDialog {
  Q_OBJECT

public:
  enum ItemId { kTemplate = 239, kIcon = 240, kEdit = 232 };

  CRenameItemDlg(const QString& folder, const QString& oldName, QWidget* parent = nullptr);
  // After OK: the item's full path now and the one it is to have.
  const QString& oldPath() const { return oldPath_; }
  const QString& newPath() const { return newPath_; }

  void accept() override;

private:
  QString folder_;
  QString oldName_;
  SplitName split_;
  QString oldPath_;
  QString newPath_;
};

} // namespace dh::files
