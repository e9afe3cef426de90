#include "platform/shellops/progress.h"

#include <QCoreApplication>
#include <QProgressDialog>

namespace dh::shellops {

namespace {
// Between two looks at the event queue: often enough for a responsive Cancel, rarely
// enough to cost nothing beside the copying.
constexpr int kUpdateEveryMs = 40;
} // namespace

ProgressDialog::ProgressDialog(QWidget* owner, const QString& title)
    : owner_(owner), title_(title) {
  started_.start();
  lastUpdate_.start();
}

ProgressDialog::~ProgressDialog() = default;

void ProgressDialog::beginItem(const QString& name, qint64 bytes) {
  name_ = name;
  itemBytes_ = bytes;
  doneBytes_ = 0;
  update();
}

bool ProgressDialog::advance(qint64 bytes) {
  doneBytes_ += bytes;
  if (lastUpdate_.elapsed() >= kUpdateEveryMs)
    update();
  return !(dialog_ && dialog_->wasCanceled());
}

void ProgressDialog::update() {
  lastUpdate_.restart();
  if (!dialog_ && started_.elapsed() >= kShowAfterMs) {
    dialog_ = std::make_unique<QProgressDialog>(owner_);
    dialog_->setWindowTitle(title_);
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setAutoReset(false);
    dialog_->setAutoClose(false);
    dialog_->setMinimumDuration(0);
    dialog_->show();
  }
  if (dialog_) {
    dialog_->setLabelText(name_);
    // The bar counts in KiB so that items beyond 2 GiB fit its int range.
    dialog_->setMaximum(itemBytes_ > 0 ? int(itemBytes_ / 1024) + 1 : 0);
    dialog_->setValue(itemBytes_ > 0 ? int(doneBytes_ / 1024) : 0);
    QCoreApplication::processEvents();
  } else {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }
}

} // namespace dh::shellops
