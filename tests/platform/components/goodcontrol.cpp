#include "tests/platform/components/testcontrols.h"

#include "platform/components/commandevent.h"
#include "platform/components/componentserver.h"

#include <QLabel>
#include <QVBoxLayout>
#include <QVariantList>

namespace {

class GoodControl : public QWidget {
public:
  explicit GoodControl(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    setPalette(QPalette(QColor(0xE8, 0xF0, 0xFE)));
    auto* layout = new QVBoxLayout(this);
    label_ = new QLabel(QStringLiteral("Test control"), this);
    layout->addWidget(label_, 0, Qt::AlignCenter);
  }

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

private:
  QLabel* label_;
};

const dh::component::ClassInfo kClasses[] = {
    {testcontrols::kGood, "Good Test Control", testcontrols::kGoodProgId, "1.0",
     &dh::component::kWidgetFactory<GoodControl>},
};

} // namespace

DH_COMPONENT_LIBRARY(kClasses)
