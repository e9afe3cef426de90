#include "platform/ui/messageservice.h"

#include <QApplication>
#include <QMessageBox>

#include <utility>
#include <vector>

namespace dh::ui {
namespace {

class DialogHandler final : public MessageHandler {
public:
  Answer show(QWidget* parent, const MessageBox& box) override {
    QMessageBox dialog(qtIcon(box.icon), box.title, box.text, QMessageBox::NoButton, parent);
    const std::vector<std::pair<QMessageBox::StandardButton, Answer>> choices = buttonsOf(box);
    for (const auto& [button, answer] : choices)
      dialog.addButton(button);
    dialog.setDefaultButton(choices.front().first);
    const Answer onEscape = escapeAnswer(box.buttons);
    for (const auto& [button, answer] : choices)
      if (answer == onEscape)
        dialog.setEscapeButton(button);
    const int chosen = dialog.exec();
    for (const auto& [button, answer] : choices)
      if (chosen == button)
        return answer;
    return onEscape;
  }

  void beep() override { QApplication::beep(); }

private:
  static QMessageBox::Icon qtIcon(Icon icon) {
    switch (icon) {
    case Icon::Information:
      return QMessageBox::Information;
    case Icon::Warning:
      return QMessageBox::Warning;
    case Icon::Error:
      return QMessageBox::Critical;
    case Icon::Question:
      return QMessageBox::Question;
    case Icon::None:
      break;
    }
    return QMessageBox::NoIcon;
  }

  static std::vector<std::pair<QMessageBox::StandardButton, Answer>>
  buttonsOf(const MessageBox& box) {
    using B = QMessageBox;
    switch (box.buttons) {
    case Buttons::Ok:
      return {{B::Ok, Answer::Ok}};
    case Buttons::OkCancel:
      return {{B::Ok, Answer::Ok}, {B::Cancel, Answer::Cancel}};
    case Buttons::YesNo:
      return {{B::Yes, Answer::Yes}, {B::No, Answer::No}};
    case Buttons::YesNoCancel:
      return {{B::Yes, Answer::Yes}, {B::No, Answer::No}, {B::Cancel, Answer::Cancel}};
    case Buttons::RetryCancel:
      return {{B::Retry, Answer::Retry}, {B::Cancel, Answer::Cancel}};
    case Buttons::AbortRetryIgnore:
      return {{B::Abort, Answer::Abort}, {B::Retry, Answer::Retry}, {B::Ignore, Answer::Ignore}};
    }
    return {{B::Ok, Answer::Ok}};
  }
};

DialogHandler dialogHandler;
MessageHandler* installed = nullptr;

MessageHandler& current() {
  return installed ? *installed : dialogHandler;
}

} // namespace

Answer escapeAnswer(Buttons buttons) {
  switch (buttons) {
  case Buttons::OkCancel:
  case Buttons::YesNoCancel:
  case Buttons::RetryCancel:
    return Answer::Cancel;
  case Buttons::YesNo:
    return Answer::No;
  case Buttons::AbortRetryIgnore:
    return Answer::Abort;
  case Buttons::Ok:
    break;
  }
  return Answer::Ok;
}

Answer showMessage(QWidget* parent, const QString& text, const QString& title, Icon icon,
                   Buttons buttons) {
  return current().show(parent, MessageBox{text, title, icon, buttons});
}

void beep() {
  current().beep();
}

MessageHandler* installMessageHandler(MessageHandler* handler) {
  return std::exchange(installed, handler);
}

} // namespace dh::ui
