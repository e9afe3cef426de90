#include "platform/ui/messagerecorder.h"

namespace dh::ui {

MessageRecorder::MessageRecorder() : previous_(installMessageHandler(this)) {}

MessageRecorder::~MessageRecorder() {
  installMessageHandler(previous_);
}

Answer MessageRecorder::show(QWidget*, const MessageBox& box) {
  boxes_.append(box);
  events_.append(box.title);
  return script_.isEmpty() ? escapeAnswer(box.buttons) : script_.dequeue();
}

void MessageRecorder::beep() {
  ++beeps_;
  events_.append(QStringLiteral("beep"));
}

} // namespace dh::ui
