// The program's life: one instance per user, the main window run until it closes, and
// the keyboard shortcuts taken for the main window before any of its widgets sees them.
#pragma once

#include <QString>

namespace dh::shell {

class InstanceChannel;

struct LaunchOptions {
  QString screenshotFile; // when set: grab the window to this PNG, then end
  int screenshotDelayMs = 1500;
  QString previewFolder; // when set: save the window once per page to this folder, then end
  bool logOff = false;   // ask the running shell to log off, then end
};

class CDeskhavenApp {
public:
  // Runs the whole program and returns the exit code.
  int InitInstance(const LaunchOptions& options);

private:
  // A run that only takes pictures: no single-instance rule, message boxes reported.
  static bool headless(const LaunchOptions& options) {
    return !options.screenshotFile.isEmpty() || !options.previewFolder.isEmpty();
  }

  // channel, when given, brings the window back for a second start.
  int runMainWindow(const LaunchOptions& options, InstanceChannel* channel);
};

} // namespace dh::shell
