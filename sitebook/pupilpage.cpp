#include "sitebook/pupilpage.h"

#include "platform/ui/messageservice.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace dh::sitebook {
namespace {

// A page that only catches the first address of a pop-up and hands it to the page that
// asked for the window.
class WindowCatcher : public QWebEnginePage {
public:
  WindowCatcher(PupilPage* opener) : QWebEnginePage(opener->profile(), opener), opener_(opener) {}

protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override {
    if (isMainFrame && opener_) {
      opener_->load(url);
      deleteLater();
    }
    return false;
  }

private:
  QPointer<PupilPage> opener_;
};

void RefuseDownload(QWebEngineDownloadRequest* download) {
  download->cancel();
  dh::ui::beep();
  dh::ui::showMessage(nullptr,
                      QStringLiteral("Files cannot be downloaded from the Links page.\n"
                                     "The download of %1 has been stopped.")
                          .arg(download->downloadFileName()),
                      QStringLiteral("Download Refused"), dh::ui::Icon::Information);
}

} // namespace

PupilPage::PupilPage(QObject* parent) : QWebEnginePage(PupilProfile(), parent) {}

bool PupilPage::Allowed(const QUrl& url) const {
  static const QStringList kWebSchemes = {QStringLiteral("http"), QStringLiteral("https"),
                                          QStringLiteral("about"), QStringLiteral("data"),
                                          QStringLiteral("blob")};
  if (!url.isLocalFile())
    return kWebSchemes.contains(url.scheme(), Qt::CaseInsensitive);
  if (trusted_.contains(url.adjusted(QUrl::StripTrailingSlash)))
    return true;
  // Beyond the system's own addresses, only a local page may lead to a local file, and
  // only to a file beside or below one of those addresses: never to a folder (whose
  // listing would open the whole file system) nor, through a link, out of that tree.
  if (!this->url().isLocalFile())
    return false;
  const QFileInfo target(url.toLocalFile());
  if (!target.isFile())
    return false;
  const QString path = target.canonicalFilePath();
  for (const QUrl& trusted : trusted_) {
    const QString folder = QFileInfo(trusted.toLocalFile()).canonicalPath();
    if (trusted.isLocalFile() && !folder.isEmpty() && path.startsWith(folder + u'/'))
      return true;
  }
  return false;
}

bool PupilPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
  return Allowed(url) && QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

QWebEnginePage* PupilPage::createWindow(WebWindowType) {
  return new WindowCatcher(this);
}

QStringList PupilPage::chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) {
  return {};
}

QString BrowserDataFolder() {
  return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
      .filePath(QStringLiteral("deskhaven/browser"));
}

QWebEngineProfile* PupilProfile() {
  static QPointer<QWebEngineProfile> profile;
  if (profile)
    return profile;
  // A debugging port would hand the pupil the developer tools of every page.
  qunsetenv("QTWEBENGINE_REMOTE_DEBUGGING");
  const QString folder = BrowserDataFolder();
  QDir().mkpath(folder);
  QFile::setPermissions(folder,
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  profile = new QWebEngineProfile(QStringLiteral("deskhaven"), QCoreApplication::instance());
  profile->setPersistentStoragePath(folder);
  profile->setCachePath(QDir(folder).filePath(QStringLiteral("cache")));
  profile->settings()->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, false);
  QObject::connect(profile, &QWebEngineProfile::downloadRequested, &RefuseDownload);
  return profile;
}

} // namespace dh::sitebook
