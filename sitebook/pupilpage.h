// The web page of the Links browser, fenced for pupils: pop-ups and new tabs open in the
// same view, file uploads offer nothing, a web page cannot lead into local files, and a
// local page only to files beside or below the system's own local pages.
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
  void Trust(const QUrl& url) { trusted_.insert(url.adjusted(QUrl::StripTrailingSlash)); }

protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
  QWebEnginePage* createWindow(WebWindowType type) override;
  QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                          const QStringList& acceptedMimeTypes) override;

private:
  bool Allowed(const QUrl& url) const;

  QSet<QUrl> trusted_;
};

// The folder that holds the browser's data for the user running the process.
QString BrowserDataFolder();

// The process's one browser profile, made on first use. Downloads are refused with a
// message; developer tools stay off.
QWebEngineProfile* PupilProfile();

} // namespace dh::sitebook
