#include "tests/platform/components/testcontrols.h"

#include "platform/components/componentserver.h"
#include "platform/components/pagecommand.h"

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
    auto* label = new QLabel(QStringLiteral("Test control"), this);
    layout->addWidget(label, 0, Qt::AlignCenter);
    dh::component::onPageCommand(this, [this, label](dh::component::PageCommand command) {
      QVariantList received = property("receivedCommands").toList();
      received.append(static_cast<int>(command));
      setProperty("receivedCommands", received);
      label->setText(QStringLiteral("Last command: %1").arg(static_cast<int>(command)));
    });
  }
};

const dh::component::ClassInfo kClasses[] = {
    {testcontrols::kGood, "Good Test Control", testcontrols::kGoodProgId, "1.0",
     &dh::component::kWidgetFactory<GoodControl>},
};

} // namespace

DH_COMPONENT_LIBRARY(kClasses)
