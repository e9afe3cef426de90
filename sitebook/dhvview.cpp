#include "sitebook/dhvview.h"

#include "platform/ui/messageservice.h"
#include "platform/ui/ownkeys.h"
#include "sitebook/linkaddress.h"
#include "sitebook/linkshelp.h"
#include "sitebook/pupilpage.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QShortcut>
#include <QStandardPaths>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>

#include <utility>

namespace dh::sitebook {

namespace {

bool askWithDialog(QPrinter& printer, QWidget* parent) {
  QPrintDialog dialog(&printer, parent);
  // Printing to a file would hand the pupil a file chooser, which reaches (and renames
  // or deletes in) the whole file system.
  dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
  return dialog.exec() == QDialog::Accepted;
}

CDhvView::PrintPrompt& currentPrompt() {
  static CDhvView::PrintPrompt prompt = &askWithDialog;
  return prompt;
}

// Tells the pupil that the page could not be printed to file.
void reportPrintProblem(QWidget* parent, const QString& file) {
  dh::ui::beep();
  dh::ui::showMessage(parent,
                      QStringLiteral("This page could not be printed to the file\n%1\n\n"
                                     "Please inform your Network Administrator of this problem.")
                          .arg(file),
                      QStringLiteral("Print Problem"), dh::ui::Icon::Warning);
}

// Where a page goes when there is no printer: a new PDF named after it in the pupil's
// documents folder. A file already there is never replaced: the name takes " (2)",
// " (3)" and so on. The file is made here, empty, so that nothing else takes the name
// before the page is written into it. Sets file to the file made, or to the name that
// could not be made.
bool makeNewPdfFile(const QString& title, QString& file) {
  QString name = title.simplified();
  name.replace(QRegularExpression(QStringLiteral("[^\\w .-]")), QStringLiteral("_"));
  if (name.isEmpty())
    name = QStringLiteral("Web page");
  name.truncate(80);
  const QDir documents(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
  documents.mkpath(QStringLiteral(".")); // a new account has none yet
  constexpr int kMostCopies = 9999;
  for (int copy = 1; copy <= kMostCopies; ++copy) {
    file = documents.filePath(copy == 1 ? name + QStringLiteral(".pdf")
                                        : QStringLiteral("%1 (%2).pdf").arg(name).arg(copy));
    if (QFile(file).open(QIODevice::WriteOnly | QIODevice::NewOnly))
      return true;
    const QFileInfo taken(file);
    if (!taken.exists() && !taken.isSymLink())
      return false; // not there, yet it cannot be made
  }
  return false;
}

} // namespace

CDhvView::CDhvView(QWidget* parent) : QWebEngineView(parent), page_(new PupilPage(this)) {
  setPage(page_);
  // The page's own menu offers saving, new windows and the page source.
  setContextMenuPolicy(Qt::NoContextMenu);
  connect(page_, &QWebEnginePage::loadingChanged, this, &CDhvView::tryPlainHttp);
  connect(this, &QWebEngineView::loadFinished, this, &CDhvView::completed);
  connect(this, &QWebEngineView::titleChanged, this, &CDhvView::showPageLine);
  connect(this, &QWebEngineView::printFinished, this, [this] { printer_.reset(); });
  connect(this, &QWebEngineView::pdfPrintingFinished, this,
          [this](const QString& file, bool success) {
            pdfFile_.clear();
            if (!success) {
              // The empty file made for the page is ours; anything more is not.
              if (QFileInfo(file).size() == 0)
                QFile::remove(file);
              reportPrintProblem(this, file);
              return;
            }
            dh::ui::showMessage(this,
                                QStringLiteral("No printer is set up, so this page has been "
                                               "saved as\n%1\nin your Documents folder.")
                                    .arg(QFileInfo(file).fileName()),
                                QStringLiteral("Printing"), dh::ui::Icon::Information);
          });
  auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
  help->setContext(Qt::WidgetWithChildrenShortcut);
  connect(help, &QShortcut::activated, this, [this] { openHelpBook(this); });
}

CDhvView::~CDhvView() = default;

void CDhvView::Navigate2(const QString& address) {
  const QUrl url = linkAddress(address, QDir::currentPath());
  page_->trust(url);
  secureTry_ = url;
  plainTry_ = plainLinkAddress(address, QDir::currentPath());
  load(url);
}

void CDhvView::tryPlainHttp(const QWebEngineLoadingInfo& loading) {
  // Many school intranet servers answer on http only: the connection to them over https
  // is refused, or fails in its handshake or its certificate. Anything else (the name not
  // found, an answer with an error page) is the same over http and is shown as it is.
  if (loading.status() != QWebEngineLoadingInfo::LoadFailedStatus || loading.url() != secureTry_ ||
      plainTry_.isEmpty())
    return;
  const auto domain = loading.errorDomain();
  if (domain != QWebEngineLoadingInfo::ConnectionErrorDomain &&
      domain != QWebEngineLoadingInfo::CertificateErrorDomain)
    return;
  secureTry_.clear();
  // In place of the failed try, so that Back does not lead to it.
  const QJsonArray address{std::exchange(plainTry_, {}).toString()};
  page_->runJavaScript(
      QStringLiteral("location.replace(%1[0])")
          .arg(QString::fromUtf8(QJsonDocument(address).toJson(QJsonDocument::Compact))));
}

void CDhvView::setButtons(QAbstractButton* back, QAbstractButton* forward) {
  back_ = back;
  forward_ = forward;
  applyButtons();
}

void CDhvView::resetHistory(const QString& startPage) {
  // Back must not lead into the pages of the scheme that was replaced. Clearing keeps the
  // page on show, so the first link opened next still leads back to it.
  history()->clear();
  record_.reset(QUrl::fromLocalFile(startPage).toString());
  applyButtons();
}

void CDhvView::completed() {
  record_.completed(url().toString(), history()->canGoBack(), history()->canGoForward());
  applyButtons();
  showPageLine();
}

void CDhvView::showPageLine() {
  // A page without a title is named by its address.
  const QString name = title().isEmpty() ? url().toString() : title();
  const QString line = QLatin1String(kPageLinePrefix) + name;
  if (line == pageLine_)
    return;
  pageLine_ = line;
  emit pageLineChanged(line);
}

void CDhvView::applyButtons() {
  if (back_)
    back_->setEnabled(record_.backEnabled());
  if (forward_)
    forward_->setEnabled(record_.forwardEnabled());
}

void CDhvView::GoBack() {
  back();
  record_.back();
  applyButtons();
}

void CDhvView::GoForward() {
  forward();
  record_.forward();
  applyButtons();
}

void CDhvView::linkOpened() {
  record_.linkOpened();
  applyButtons();
}

void CDhvView::Refresh() {
  reload();
}

void CDhvView::Copy() {
  triggerPageAction(QWebEnginePage::Copy);
}

void CDhvView::Print() {
  if (printer_ || !pdfFile_.isEmpty())
    return; // one print at a time
  if (QPrinterInfo::availablePrinters().isEmpty()) {
    // With no printer the only choice a print dialog leaves is a file chooser: the page
    // goes straight to the documents folder instead, and the pupil is told where.
    QString file;
    if (!makeNewPdfFile(title(), file)) {
      reportPrintProblem(this, file);
      return;
    }
    pdfFile_ = file;
    printToPdf(file);
    return;
  }
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setDocName(title());
  if (!currentPrompt()(*printer, this))
    return;
  printer_ = std::move(printer);
  print(printer_.get());
}

void CDhvView::pressTab() {
  // The page takes the keyboard too, so that what Tab reaches in it is the focus a screen
  // reader follows. (Not as a Tab focus: the engine would move on to its first link itself.)
  setFocus(Qt::OtherFocusReason);
  ui::sendOwnKey(focusProxy() ? focusProxy() : this, Qt::Key_Tab);
}

CDhvView::PrintPrompt CDhvView::setPrintPrompt(PrintPrompt prompt) {
  PrintPrompt previous = std::move(currentPrompt());
  currentPrompt() = prompt ? std::move(prompt) : PrintPrompt(&askWithDialog);
  return previous;
}

} // namespace dh::sitebook
