// The web page of the Links browser, fenced for pupils: a page's new windows open in the
// same view (one without an address opens nothing), file uploads offer nothing, a web
// page cannot lead into local files, and a local page reaches only files beside or
// below the system's own local pages, by link and for what it loads alike; no script
// reads a local file.
// Its profile keeps each user's cookies and cache in that user's own data folder.
#pragma once

#include <QSet>
#include <QUrl>
#include <QWebEnginePage>

class QWebEngineProfile;

namespace dh::sitebook {

class PupilPage : public QWebEnginePage {
  Q_OBJECT

public:
  explicit PupilPage(QObject* parent = nullptr);

  // An address the system opens itself (the start page, a scheme's link): it may be a
  // local file even when a web page is on show.
  void trust(const QUrl& url) { trusted_.insert(url.adjusted(QUrl::StripTrailingSlash)); }
  // Whether a local file may be shown or loaded: one of the trusted addresses, or a file
  // (never a folder) beside or below one of them.
  bool reachable(const QUrl& url) const;
  // Whether the pupil is to be told that a download from this page was refused: once for
  // each page on show, so a page that starts downloads in a loop gets one answer.
  bool firstRefusedDownload();

protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
  QWebEnginePage* createWindow(WebWindowType type) override;
  QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                          const QStringList& acceptedMimeTypes) override;

private:
  bool trusted(const QUrl& url) const;
  bool allowed(const QUrl& url) const;
  void openNewWindow(QWebEngineNewWindowRequest& request);

  QSet<QUrl> trusted_;
  QUrl refusedDownloadOn_;
};

// The folder that holds the browser's data for the user running the process.
QString browserDataFolder();

// The process's one browser profile, made on first use. Downloads are refused with a
// message; developer tools stay off.
QWebEngineProfile* pupilProfile();

} // namespace dh::sitebook
