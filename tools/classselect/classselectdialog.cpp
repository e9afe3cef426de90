#include "tools/classselect/classselectdialog.h"

#include "platform/ui/messageservice.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace dh::classselect {

namespace {

const QString kTitle = QStringLiteral("Change Class");

void tellPupil(QWidget* parent, const char* text, ui::Icon icon) {
  ui::beep();
  ui::showMessage(parent, QString::fromUtf8(text), kTitle, icon);
}

} // namespace

ClassSelectDialog::ClassSelectDialog(ClassPlace place, const std::vector<std::string>& classes,
                                     QWidget* parent)
    : QDialog(parent), place_(place), list_(new QListWidget(this)),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
  setWindowTitle(kTitle);
  auto* label = new QLabel(tr("Choose your class:"), this);
  label->setBuddy(list_);
  list_->setObjectName(QStringLiteral("classList"));
  list_->setAccessibleName(tr("Classes"));
  buttons_->setObjectName(QStringLiteral("buttons"));

  const auto current = findClass(classes, currentClass(place_));
  for (const auto& cls : classes) {
    auto* item = new QListWidgetItem(QString::fromStdString(cls), list_);
    if (current && *current == cls)
      list_->setCurrentItem(item);
  }

  auto* ok = buttons_->button(QDialogButtonBox::Ok);
  // The focus gives a list a current item without selecting it: only a selection chooses.
  ok->setEnabled(!list_->selectedItems().isEmpty());
  connect(list_, &QListWidget::itemSelectionChanged, ok,
          [this, ok] { ok->setEnabled(!list_->selectedItems().isEmpty()); });
  connect(list_, &QListWidget::itemActivated, this, &ClassSelectDialog::accept);
  connect(buttons_, &QDialogButtonBox::accepted, this, &ClassSelectDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &ClassSelectDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label);
  layout->addWidget(list_);
  layout->addWidget(buttons_);
  resize(260, 300);
}

void ClassSelectDialog::accept() {
  const auto selected = list_->selectedItems();
  if (selected.isEmpty())
    return;
  if (recordClass(place_, selected.first()->text().toStdString()) != reg::kSuccess) {
    tellPupil(this,
              "Your class could not be recorded, so it has not changed.\n"
              "Please inform your Network Administrator of this problem.",
              ui::Icon::Error);
    return;
  }
  QDialog::accept();
}

int runClassSelector(int mode) {
  const auto place = classPlace(mode);
  if (!place) {
    tellPupil(nullptr,
              "Classes are not used on this computer, so your class cannot be changed.\n"
              "Please inform your Network Administrator of this problem.",
              ui::Icon::Warning);
    return 1;
  }
  const auto classes = configuredClasses();
  if (classes.empty()) {
    tellPupil(nullptr,
              "No classes have been set up on this computer.\n"
              "Please inform your Network Administrator of this problem.",
              ui::Icon::Warning);
    return 1;
  }
  ClassSelectDialog dialog(*place, classes);
  dialog.exec();
  return 0;
}

} // namespace dh::classselect
