// Stands in for the message boxes while it lives: records every box and beep and answers
// each box from a script, so a test never waits on a modal box.
#pragma once

#include "platform/ui/messageservice.h"

#include <QList>
#include <QQueue>

namespace dh::ui {

class MessageRecorder final : public MessageHandler {
public:
  MessageRecorder();  // installs itself
  ~MessageRecorder(); // puts the previous handler back
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;

  // The answer for the next box that has none yet. A box shown when the script is empty
  // gets escapeAnswer(), the answer that changes least.
  void answerNext(Answer answer) { script_.enqueue(answer); }

  const QList<MessageBox>& boxes() const { return boxes_; }
  int beeps() const { return beeps_; }
  // The boxes and beeps in the order they came, e.g. {"beep", "File Problem"}: tests use
  // it to check that a beep announces a box.
  const QStringList& events() const { return events_; }

  Answer show(QWidget* parent, const MessageBox& box) override;
  void beep() override;

private:
  MessageHandler* previous_ = nullptr;
  QQueue<Answer> script_;
  QList<MessageBox> boxes_;
  QStringList events_;
  int beeps_ = 0;
};

} // namespace dh::ui
