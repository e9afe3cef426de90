// The one way the system shows a modal message box or beeps. By default a box is a
// QMessageBox; a test installs a MessageRecorder instead, so no test ever waits on a box.
#pragma once

#include <QString>

class QWidget;

namespace dh::ui {

enum class Icon { None, Information, Warning, Error, Question };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class Answer { Ok, Cancel, Yes, No, Retry, Abort, Ignore };

struct MessageBox {
  QString text; // "\n" is a line break
  QString title;
  Icon icon = Icon::None;
  Buttons buttons = Buttons::Ok;
};

// What shows boxes and beeps. Only one is installed at a time.
class MessageHandler {
public:
  virtual ~MessageHandler() = default;
  virtual Answer show(QWidget* parent, const MessageBox& box) = 0;
  virtual void beep() = 0;
};

// Shows the box modally over parent (may be null) and returns the button the user chose.
// Closing the box with Escape or its close button gives escapeAnswer(buttons).
Answer showMessage(QWidget* parent, const QString& text, const QString& title,
                   Icon icon = Icon::None, Buttons buttons = Buttons::Ok);
void beep();

// The most careful answer a box offers: Cancel, else No, else Abort, else Ok.
Answer escapeAnswer(Buttons buttons);

// Replaces the handler; null restores the default. Returns the previous one (null for
// the default). The caller keeps ownership.
MessageHandler* installMessageHandler(MessageHandler* handler);

} // namespace dh::ui
