#include "tests/sitebook/pageserver.h"

#include <QTcpSocket>

PageServer::PageServer() {
  connect(this, &QTcpServer::newConnection, this, [this] {
    while (QTcpSocket* socket = nextPendingConnection()) {
      connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
      connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
  });
  listen(QHostAddress::LocalHost, 0);
}

QUrl PageServer::url(const QString& path) const {
  return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(path));
}

void PageServer::answer(QTcpSocket* socket) {
  // It answers http only: a secure connection's handshake is cut off as it starts.
  const QByteArray start = socket->peek(1);
  if (start.isEmpty() || start[0] < 'A' || start[0] > 'Z') {
    socket->abort();
    return;
  }
  if (!socket->canReadLine())
    return;
  const QList<QByteArray> request = socket->readLine().split(' ');
  socket->readAll();
  const QByteArray target = request.value(1);
  const QUrl url(QString::fromLatin1(target));
  QByteArray type = "text/html; charset=utf-8";
  QByteArray extra;
  QByteArray body;
  if (url.path().startsWith(QLatin1String("/page/"))) {
    const QByteArray n = url.path().mid(6).toLatin1();
    body = "<html><head><title>Page " + n + "</title></head><body><p id=text>Text of page " + n +
           "</p><input id=first><input id=second></body></html>";
  } else if (url.path() == QLatin1String("/popup")) {
    body = "<html><head><title>Popups</title></head><body>"
           "<a id=blank href='/page/7' target=_blank>seven</a>"
           "<button id=open onclick=\"window.open('/page/8')\">eight</button>"
           "<button id=nowhere onclick=\"window.open()\">none</button></body></html>";
  } else if (url.path() == QLatin1String("/download")) {
    type = "application/octet-stream";
    extra = "Content-Disposition: attachment; filename=\"homework.bin\"\r\n";
    body = QByteArray(2048, 'x');
  } else if (url.path() == QLatin1String("/downloads")) {
    body = "<html><head><title>Downloads</title></head><body><script>let n = 0;"
           "const t = setInterval(() => { location.href = '/download?' + n;"
           " if (++n == 4) clearInterval(t); }, 250);</script></body></html>";
  } else if (url.path() == QLatin1String("/tofile")) {
    body = "<html><head><title>To file</title></head><body><a id=local href='file://" +
           url.query(QUrl::FullyDecoded).toUtf8() + "'>local</a></body></html>";
  } else {
    body = "<html><head><title>Not found</title></head></html>";
  }
  socket->write("HTTP/1.1 200 OK\r\nContent-Type: " + type + "\r\n" + extra + "Content-Length: " +
                QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
  socket->disconnectFromHost();
}
