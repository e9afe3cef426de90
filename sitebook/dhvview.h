// The Links page's browser view: opens addresses, keeps the record of completed
// navigations that drives the form's Back and Forward buttons, and shows the current
// page line; refresh, copy, print and help act on it.
#pragma once

#include "sitebook/navigationrecord.h"

#include <QPointer>
#include <QWebEngineView>

#include <functional>
#include <memory>

class QAbstractButton;
class QPrinter;
class QWebEngineLoadingInfo;

namespace dh::sitebook {

class PupilPage;

class CDhvView : public QWebEngineView {
  Q_OBJECT

public:
  // Asks the pupil how to print (printer, pages); false cancels. Tests replace it so that
  // no dialog ever waits.
  using PrintPrompt = std::function<bool(QPrinter& printer, QWidget* parent)>;
  static constexpr const char* kPageLinePrefix = "Current Web Page: ";

  explicit CDhvView(QWidget* parent = nullptr);
  ~CDhvView() override;

  // Opens an address (a web address or a local file); the system's own addresses may be
  // local files.
  void Navigate2(const QString& address);
  // The form's Back and Forward buttons, enabled as the record says.
  void setButtons(QAbstractButton* back, QAbstractButton* forward);
  // A fresh start with startPage as the page Back stops at.
  void resetHistory(const QString& startPage);
  const NavigationRecord& record() const { return record_; }
  QString currentPageLine() const { return pageLine_; }

  void GoBack();
  void GoForward();
  void linkOpened();
  void Refresh();
  void Copy();
  void Print();
  // Gives the page the keyboard and moves the focus inside it as Tab pressed in it would.
  void pressTab();

  // Replaces the print prompt; returns the one before. Null restores the dialog.
  static PrintPrompt setPrintPrompt(PrintPrompt prompt);

signals:
  void pageLineChanged(const QString& line);

private:
  void completed();
  void tryPlainHttp(const QWebEngineLoadingInfo& loading);
  void showPageLine();
  void applyButtons();

  PupilPage* page_;
  // An address written without its scheme is tried over https first; while that try
  // runs, the same address over http is kept for the case that it fails.
  QUrl secureTry_;
  QUrl plainTry_;
  NavigationRecord record_;
  QString pageLine_;
  QPointer<QAbstractButton> back_;
  QPointer<QAbstractButton> forward_;
  std::unique_ptr<QPrinter> printer_; // while a print runs
  QString pdfFile_;                   // while a page is written to a PDF
};

} // namespace dh::sitebook
