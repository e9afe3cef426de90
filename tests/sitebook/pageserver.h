// A small web server on 127.0.0.1 (an ephemeral port) for the browser tests: every page
// is made up from its path, so a test needs no files for its web pages. It answers http
// only, as many school intranet servers do.
//   /page/N     a page titled "Page N"
//   /popup      a link with target=_blank and buttons calling window.open with and
//               without an address
//   /download   a file sent as an attachment
//   /downloads  a page that starts four downloads, one after another
//   /tofile?P   a page with a link to the local file P
#pragma once

#include <QTcpServer>
#include <QUrl>

class PageServer : public QTcpServer {
  Q_OBJECT

public:
  PageServer();
  QUrl url(const QString& path) const;

private:
  void answer(QTcpSocket* socket);
};
