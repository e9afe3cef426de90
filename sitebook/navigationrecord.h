// The browser's history as the Links tool bar sees it: the addresses of completed
// navigations, the current one, the Back step count, and whether Back and Forward are
// enabled. Knows no browser: the view reports completions, the form presses buttons.
#pragma once

#include <QString>
#include <QStringList>

namespace dh::sitebook {

class NavigationRecord {
public:
  // A fresh start (start-up, a new scheme): nothing visited, both buttons disabled. The
  // current address stays, since the page on show stays.
  void reset(const QString& startPage);

  // A navigation to address has completed; the browser tells whether its history has a
  // page behind and ahead. A button with nowhere to go is switched off whatever the step
  // count says (the count alone left Forward on at the newest page).
  void completed(const QString& address, bool canGoBack, bool canGoForward);
  // The pupil pressed Back, Forward, or opened a link.
  void back();
  void forward();
  void linkOpened() { backEnabled_ = true; }

  bool backEnabled() const { return backEnabled_; }
  bool forwardEnabled() const { return forwardEnabled_; }
  int backSteps() const { return backSteps_; }
  const QString& current() const { return current_; }
  const QString& startPage() const { return startPage_; }
  const QStringList& visited() const { return visited_; }

private:
  QString startPage_;
  QString current_;
  QStringList visited_;
  int backSteps_ = 0;
  bool backEnabled_ = false;
  bool forwardEnabled_ = false;
};

} // namespace dh::sitebook
