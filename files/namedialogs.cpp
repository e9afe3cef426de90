#include "files/namedialogs.h"

#include "platform/confine/confinedroot.h"

#include "platform/ui/controlid.h"
#include "platform/ui/messageservice.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include <sys/stat.h>

namespace dh::files {

namespace {

// The dialogs' size in dialog units, turned into pixels by the font's base units.
constexpr QSize kDialogUnits(195, 59);

QSize fromDialogUnits(const QSize& units, const QFontMetrics& metrics) {
  const int baseX = metrics.averageCharWidth();
  const int baseY = metrics.height();
  return {units.width() * baseX / 4, units.height() * baseY / 8};
}

QString joined(const QString& folder, const QString& name) {
  return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

} // namespace

NameDialog::NameDialog(const QString& title, const QString& prompt, const QString& icon,
                       QStyle::StandardPixmap fallback, int iconId, int editId, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(title);
  auto* picture = new QLabel(this);
  dh::ui::setControlId(picture, iconId);
  picture->setPixmap(QIcon::fromTheme(icon, style()->standardIcon(fallback)).pixmap(32, 32));
  auto* text = new QLabel(prompt, this);
  edit_ = new QLineEdit(this);
  dh::ui::setControlId(edit_, editId);
  // The prompt names the field for screen readers.
  text->setBuddy(edit_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  dh::ui::setControlId(buttons->button(QDialogButtonBox::Ok), kOk);
  dh::ui::setControlId(buttons->button(QDialogButtonBox::Cancel), kCancel);
  auto* layout = new QGridLayout(this);
  layout->addWidget(picture, 0, 0, 2, 1, Qt::AlignTop);
  layout->addWidget(text, 0, 1, Qt::AlignBottom);
  layout->addWidget(edit_, 1, 1);
  layout->addWidget(buttons, 0, 2, 2, 1, Qt::AlignTop);
  buttons->setOrientation(Qt::Vertical);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(edit_, &QLineEdit::textEdited, this, &NameDialog::typed);
  setMinimumSize(fromDialogUnits(kDialogUnits, fontMetrics()));
  edit_->setFocus();
}

void NameDialog::typed() {
  QString text = edit_->text();
  const std::optional<NameMessage> problem = typedNameProblem(text);
  if (!problem)
    return;
  const int cursor = edit_->cursorPosition();
  edit_->setText(text);
  edit_->setCursorPosition(std::min(cursor, int(text.size())));
  dh::ui::showMessage(this, problem->text, problem->title, dh::ui::Icon::Warning);
}

void NameDialog::refuse(const NameMessage& message) {
  dh::ui::showMessage(this, message.text, message.title, dh::ui::Icon::Error);
}

CFolderCreationDlg::CFolderCreationDlg(const QString& folder, const dh::confine::Descriptor& at,
                                       QWidget* parent)
    : NameDialog(QStringLiteral("Folder Creation"),
                 QStringLiteral("Please enter the name of the folder to be created"),
                 QStringLiteral("folder-new"), QStyle::SP_FileDialogNewFolder, kIcon, kEdit,
                 parent),
      folder_(folder), at_(at) {
  dh::ui::setControlId(this, kTemplate);
}

void CFolderCreationDlg::accept() {
  const QString name = edit()->text().trimmed();
  const QString held = QFile::decodeName(QByteArray::fromStdString(at_.procPath()));
  if (const std::optional<NameMessage> problem = folderNameProblem(name, held)) {
    refuse(*problem);
    edit()->clear();
    return;
  }
  newFolder_ = joined(folder_, name);
  // Never takes over an item that is there already.
  if (dh::confine::makeFolder(at_, QFile::encodeName(name).toStdString()) == 0)
    QDialog::accept();
  else
    reject();
}

CRenameItemDlg::CRenameItemDlg(const QString& folder, const QString& oldName, QWidget* parent)
    : NameDialog(
          QStringLiteral("Rename Item"), QStringLiteral("Please enter the new name for the item"),
          QStringLiteral("insert-text"), QStyle::SP_FileDialogDetailedView, kIcon, kEdit, parent),
      folder_(folder), oldName_(oldName), split_(splitAtFirstDot(oldName)) {
  dh::ui::setControlId(this, kTemplate);
  edit()->setText(split_.base);
  edit()->selectAll();
}

void CRenameItemDlg::accept() {
  const QString text = edit()->text().trimmed();
  const QString newName = text.isEmpty() ? QString() : text + split_.extension;
  if (newName == oldName_) {
    reject();
    return;
  }
  if (const std::optional<NameMessage> problem = itemNameProblem(newName, folder_)) {
    refuse(*problem);
    edit()->setText(split_.base);
    return;
  }
  oldPath_ = joined(folder_, oldName_);
  newPath_ = joined(folder_, newName);
  QDialog::accept();
}

} // namespace dh::files
