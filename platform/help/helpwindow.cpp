#include "platform/help/helpwindow.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QTextDocument>
#include <QToolBar>
#include <QVBoxLayout>

namespace dh::help {

// Pages inside a compiled help file come from the book rather than from the disk.
class HelpWindow::Browser : public QTextBrowser {
public:
  explicit Browser(const std::optional<HelpBook>& book) : book_(book) {}

  QVariant loadResource(int type, const QUrl& url) override {
    if (book_ && url.scheme() == HelpBook::kChmScheme) {
      if (auto bytes = book_->read(url))
        return *bytes;
      return {};
    }
    return QTextBrowser::loadResource(type, url);
  }

private:
  const std::optional<HelpBook>& book_;
};

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent), browser_(new Browser(book_)) {
  setWindowTitle(tr("Help"));
  auto* tools = new QToolBar(this);
  tools->addAction(style()->standardIcon(QStyle::SP_ArrowBack), tr("Back"), browser_,
                   &QTextBrowser::backward);
  tools->addAction(style()->standardIcon(QStyle::SP_ArrowForward), tr("Forward"), browser_,
                   &QTextBrowser::forward);
  tools->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), tr("Home"), this, [this] {
    if (book_)
      browser_->setSource(book_->startPage());
  });
  // A pupils' session has no window manager, so no title bar to close the window by.
  auto* spacer = new QWidget(tools);
  spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  tools->addWidget(spacer);
  tools->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  QAction* close = tools->addAction(style()->standardIcon(QStyle::SP_DialogCloseButton),
                                    tr("Close"), this, &QWidget::close);
  close->setShortcut(QKeySequence(Qt::Key_Escape));
  close->setShortcutContext(Qt::WindowShortcut);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(tools);
  layout->addWidget(browser_);
  browser_->document()->setDocumentMargin(12);
  connect(browser_, &QTextBrowser::sourceChanged, this, &HelpWindow::showTitle);
  resize(720, 560);
}

// The topic and the book, so that whoever hears the window's name (a screen reader
// announces it when the window opens) knows it for the help and not the page it is about.
void HelpWindow::showTitle() {
  const QString book = bookTitle_.isEmpty() ? tr("Help") : bookTitle_;
  const QString topic = browser_->documentTitle();
  setWindowTitle(topic.isEmpty() || topic == book ? book : tr("%1 - %2").arg(topic, book));
}

QTextBrowser& HelpWindow::browser() {
  return *browser_;
}

bool HelpWindow::open(const QString& path, quint32 context, QString* error) {
  auto book = HelpBook::open(path, error);
  if (!book)
    return false;
  book_ = std::move(book);
  QTextDocument start;
  start.setHtml(browser_->loadResource(QTextDocument::HtmlResource, book_->startPage()).toString());
  bookTitle_ = start.metaInformation(QTextDocument::DocumentTitle);
  browser_->clearHistory();
  browser_->setSource(book_->page(context));
  return true;
}

HelpWindow* showHelp(const QString& path, quint32 context) {
  static QPointer<HelpWindow> window;
  const bool fresh = !window;
  if (fresh) {
    window = new HelpWindow;
    window->setAttribute(Qt::WA_DeleteOnClose);
  }
  if (!window->open(path, context)) {
    if (fresh)
      delete window;
    return nullptr;
  }
  if (fresh) {
    // Centred, since without a window manager nothing else would place it.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      QRect place(QPoint(), window->size());
      place.moveCenter(screen->availableGeometry().center());
      window->move(place.topLeft());
    }
  }
  window->show();
  window->raise();
  window->activateWindow();
  return window;
}

} // namespace dh::help
