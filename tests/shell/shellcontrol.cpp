#include "tests/shell/shellcontrol.h"

#include "common/pagecommand.h"
#include "platform/components/componentserver.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>
#include <QVariantList>

namespace {

void log(const char* what) {
  QStringList entries = qApp->property("controlLog").toStringList();
  entries.append(QString::fromLatin1(what));
  qApp->setProperty("controlLog", entries);
}

class RecordingControl : public QWidget {
public:
  explicit RecordingControl(QWidget* parent) : QWidget(parent) {
    log("made");
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    setPalette(QPalette(QColor(0xF7, 0xF9, 0xFC)));
    label_ = new QLabel(this);
    label_->setStyleSheet(QStringLiteral("color: #5a6472; font-size: 16pt;"));
    (new QVBoxLayout(this))->addWidget(label_, 0, Qt::AlignCenter);
  }
  ~RecordingControl() override { log("gone"); }

protected:
  // Records every page command and accepts it.
  bool event(QEvent* event) override {
    const auto command = dh::pageCommandOf(event);
    if (!command)
      return QWidget::event(event);
    QVariantList received = property("receivedCommands").toList();
    received.append(static_cast<int>(*command));
    setProperty("receivedCommands", received);
    event->accept();
    return true;
  }
  void showEvent(QShowEvent*) override {
    label_->setText(QStringLiteral("Test page %1").arg(objectName()));
  }
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Return)
      setProperty("returnPresses", property("returnPresses").toInt() + 1);
  }

private:
  QLabel* label_;
};

const dh::component::ClassInfo kClasses[] = {
    {shellcontrol::kRecording, "Shell Test Page", "DHTEST.ShellPage.1", "1.0",
     &dh::component::kWidgetFactory<RecordingControl>},
};

} // namespace

DH_COMPONENT_LIBRARY(kClasses)
