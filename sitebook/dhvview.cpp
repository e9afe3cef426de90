#include "sitebook/dhvview.h"

#include "platform/ui/messageservice.h"
#include "sitebook/linkaddress.h"
#include "sitebook/linkshelp.h"
#include "sitebook/pupilpage.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QShortcut>
#include <QStandardPaths>
#include <QWebEngineHistory>

#include <utility>

namespace dh::sitebook {

namespace {

bool AskWithDialog(QPrinter& printer, QWidget* parent) {
  QPrintDialog dialog(&printer, parent);
  // Printing to a file would hand the pupil a file chooser, which reaches (and renames
  // or deletes in) the whole file system.
  dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
  return dialog.exec() == QDialog::Accepted;
}

CDhvView::PrintPrompt& Prompt() {
  static CDhvView::PrintPrompt prompt = &AskWithDialog;
  return prompt;
}

// Tells the pupil that the page could not be printed to file.
void ReportPrintProblem(QWidget* parent, const QString& file) {
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
bool MakeNewPdfFile(const QString& title, QString& file) {
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
  connect(this, &QWebEngineView::loadFinished, this, &CDhvView::Completed);
  connect(this, &QWebEngineView::titleChanged, this, &CDhvView::ShowPageLine);
  connect(this, &QWebEngineView::printFinished, this, [this] { printer_.reset(); });
  connect(this, &QWebEngineView::pdfPrintingFinished, this,
          [this](const QString& file, bool success) {
            pdfFile_.clear();
            if (!success) {
              // The empty file made for the page is ours; anything more is not.
              if (QFileInfo(file).size() == 0)
                QFile::remove(file);
              ReportPrintProblem(this, file);
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
  connect(help, &QShortcut::activated, this, [this] { OpenHelpBook(this); });
}

CDhvView::~CDhvView() = default;

void CDhvView::Navigate2(const QString& address) {
  const QUrl url = LinkAddress(address, QDir::currentPath());
  page_->Trust(url);
  load(url);
}

void CDhvView::SetButtons(QAbstractButton* back, QAbstractButton* forward) {
  back_ = back;
  forward_ = forward;
  ApplyButtons();
}

void CDhvView::ResetHistory(const QString& startPage) {
  // Back must not lead into the pages of the scheme that was replaced. Clearing keeps the
  // page on show, so the first link opened next still leads back to it.
  history()->clear();
  record_.Reset(QUrl::fromLocalFile(startPage).toString());
  ApplyButtons();
}

void CDhvView::Completed() {
  record_.Completed(url().toString(), history()->canGoBack(), history()->canGoForward());
  ApplyButtons();
  ShowPageLine();
}

void CDhvView::ShowPageLine() {
  // A page without a title is named by its address.
  const QString name = title().isEmpty() ? url().toString() : title();
  const QString line = QLatin1String(kPageLinePrefix) + name;
  if (line == pageLine_)
    return;
  pageLine_ = line;
  emit PageLineChanged(line);
}

void CDhvView::ApplyButtons() {
  if (back_)
    back_->setEnabled(record_.BackEnabled());
  if (forward_)
    forward_->setEnabled(record_.ForwardEnabled());
}

void CDhvView::GoBack() {
  back();
  record_.Back();
  ApplyButtons();
}

void CDhvView::GoForward() {
  forward();
  record_.Forward();
  ApplyButtons();
}

void CDhvView::LinkOpened() {
  record_.LinkOpened();
  ApplyButtons();
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
    if (!MakeNewPdfFile(title(), file)) {
      ReportPrintProblem(this, file);
      return;
    }
    pdfFile_ = file;
    printToPdf(file);
    return;
  }
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setDocName(title());
  if (!Prompt()(*printer, this))
    return;
  printer_ = std::move(printer);
  print(printer_.get());
}

void CDhvView::PressTab() {
  QWidget* target = focusProxy() ? focusProxy() : this;
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_Tab, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &press);
  QCoreApplication::sendEvent(target, &release);
}

CDhvView::PrintPrompt CDhvView::SetPrintPrompt(PrintPrompt prompt) {
  PrintPrompt previous = std::move(Prompt());
  Prompt() = prompt ? std::move(prompt) : PrintPrompt(&AskWithDialog);
  return previous;
}

} // namespace dh::sitebook
