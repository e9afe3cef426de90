// The help window: shows a help book's pages with back, forward and a way home to the
// start page. One window per process serves every caller, as the system's help does.
#pragma once

#include "platform/help/helpbook.h"

#include <QTextBrowser>
#include <QWidget>

#include <optional>

namespace dh::help {

class HelpWindow : public QWidget {
  Q_OBJECT

public:
  explicit HelpWindow(QWidget* parent = nullptr);

  // Opens the book at the page of a numbered context. When the book cannot be read the
  // window is left as it was and the call fails.
  bool open(const QString& path, quint32 context, QString* error = nullptr);
  QTextBrowser& browser();

private:
  class Browser;
  void showTitle();

  Browser* browser_;
  std::optional<HelpBook> book_;
  QString bookTitle_; // the start page's title
};

// Opens the process's help window at a context and brings it to the front; null when
// the book is missing or unreadable, so the caller can tell the user.
HelpWindow* showHelp(const QString& path, quint32 context);

} // namespace dh::help
