#include "sitebook/pupilpage.h"

#include "platform/ui/messageservice.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>
#include <QWebEngineDownloadRequest>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>

namespace dh::sitebook {
namespace {

// Lets a page load local files only where it may reach them, and never lets its scripts
// read a local file. The engine's own switch for the latter would also keep the system's
// local pages from their style sheets and pictures.
class FileFence : public QWebEngineUrlRequestInterceptor {
public:
  explicit FileFence(PupilPage* page) : QWebEngineUrlRequestInterceptor(page), page_(page) {}

  void interceptRequest(QWebEngineUrlRequestInfo& info) override {
    const QUrl& url = info.requestUrl();
    if (url.isLocalFile() && (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeXhr ||
                              !page_->reachable(url)))
      info.block(true);
  }

private:
  PupilPage* page_;
};

void refuseDownload(QWebEngineDownloadRequest* download) {
  download->cancel();
  auto* page = qobject_cast<PupilPage*>(download->page());
  if (page && !page->firstRefusedDownload())
    return;
  dh::ui::beep();
  dh::ui::showMessage(nullptr,
                      QStringLiteral("Files cannot be downloaded from the Links page.\n"
                                     "The download of %1 has been stopped.")
                          .arg(download->downloadFileName()),
                      QStringLiteral("Download Refused"), dh::ui::Icon::Information);
}

} // namespace

PupilPage::PupilPage(QObject* parent) : QWebEnginePage(pupilProfile(), parent) {
  setUrlRequestInterceptor(new FileFence(this));
  connect(this, &QWebEnginePage::newWindowRequested, this, &PupilPage::openNewWindow);
  // A download ends its navigation unfinished; a page that opens anew may tell again.
  connect(this, &QWebEnginePage::loadFinished, this, [this](bool ok) {
    if (ok)
      refusedDownloadOn_.clear();
  });
}

bool PupilPage::trusted(const QUrl& url) const {
  return trusted_.contains(url.adjusted(QUrl::StripTrailingSlash));
}

bool PupilPage::reachable(const QUrl& url) const {
  if (trusted(url))
    return true;
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

bool PupilPage::allowed(const QUrl& url) const {
  static const QStringList kWebSchemes = {QStringLiteral("http"), QStringLiteral("https"),
                                          QStringLiteral("about"), QStringLiteral("data"),
                                          QStringLiteral("blob")};
  if (!url.isLocalFile())
    return kWebSchemes.contains(url.scheme(), Qt::CaseInsensitive);
  // Beyond the system's own addresses, only a local page may lead to a local file, and
  // only within reach: never to a folder (whose listing would open the whole file
  // system) nor, through a link, out of the trusted trees.
  return trusted(url) || (this->url().isLocalFile() && reachable(url));
}

bool PupilPage::firstRefusedDownload() {
  if (refusedDownloadOn_ == url())
    return false;
  refusedDownloadOn_ = url();
  return true;
}

bool PupilPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
  return allowed(url) && QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

QWebEnginePage* PupilPage::createWindow(WebWindowType) {
  return nullptr; // no page of its own: openNewWindow decides
}

void PupilPage::openNewWindow(QWebEngineNewWindowRequest& request) {
  // The address goes to this view. A window without one is not made at all: it would
  // stay hidden, running whatever its opener writes into it. The engine names such a
  // window about:blank, or about:blank#blocked where it has no address at all; loading
  // either here would put a blank page in place of its opener.
  const QUrl url = request.requestedUrl();
  if (!url.isEmpty() && url.scheme().compare(QLatin1String("about"), Qt::CaseInsensitive) != 0)
    load(url);
}

QStringList PupilPage::chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) {
  return {};
}

QString browserDataFolder() {
  return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
      .filePath(QStringLiteral("deskhaven/browser"));
}

QWebEngineProfile* pupilProfile() {
  static QPointer<QWebEngineProfile> profile;
  if (profile)
    return profile;
  // A debugging port would hand the pupil the developer tools of every page.
  qunsetenv("QTWEBENGINE_REMOTE_DEBUGGING");
  // Without it the engine shows screen readers a page as one blank pane: no links, no text.
  qputenv("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY", "1");
  const QString folder = browserDataFolder();
  QDir().mkpath(folder);
  QFile::setPermissions(folder,
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  profile = new QWebEngineProfile(QStringLiteral("deskhaven"), QCoreApplication::instance());
  profile->setPersistentStoragePath(folder);
  profile->setCachePath(QDir(folder).filePath(QStringLiteral("cache")));
  profile->settings()->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, false);
  QObject::connect(profile, &QWebEngineProfile::downloadRequested, &refuseDownload);
  return profile;
}

} // namespace dh::sitebook
