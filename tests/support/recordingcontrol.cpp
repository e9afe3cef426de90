#include "tests/support/recordingcontrol.h"

#include "platform/components/commandevent.h"
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
    setPalette(QPalette(QColor(0xE8, 0xF0, 0xFE)));
    label_ = new QLabel(QStringLiteral("Test control"), this);
    (new QVBoxLayout(this))->addWidget(label_, 0, Qt::AlignCenter);
  }
  ~RecordingControl() override { log("gone"); }

protected:
  // Records every command and accepts it.
  bool event(QEvent* event) override {
    const auto command = dh::component::commandOf(event);
    if (!command)
      return QWidget::event(event);
    QVariantList received = property("receivedCommands").toList();
    received.append(*command);
    setProperty("receivedCommands", received);
    label_->setText(QStringLiteral("Last command: %1").arg(*command));
    event->accept();
    return true;
  }
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Return)
      setProperty("returnPresses", property("returnPresses").toInt() + 1);
  }

private:
  QLabel* label_;
};

const dh::component::ClassInfo kClasses[] = {
    {recordingcontrol::kClassId, "Recording Test Control", recordingcontrol::kProgId, "1.0",
     &dh::component::kWidgetFactory<RecordingControl>},
};

} // namespace

DH_COMPONENT_LIBRARY(kClasses)
