#include "shell/singleinstance.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>

#include <sys/stat.h>
#include <unistd.h>

namespace dh::shell {

namespace {

constexpr std::string_view kDeletedSuffix = " (deleted)";
constexpr const char* kShowRequest = "show\n";
constexpr const char* kShowReply = "shown\n";
constexpr const char* kLogOffRequest = "log off\n";
constexpr const char* kLogOffReply = "asking\n";

bool sameIgnoringCase(std::string_view a, std::string_view b) {
  return QString::fromUtf8(a.data(), a.size())
             .compare(QString::fromUtf8(b.data(), b.size()), Qt::CaseInsensitive) == 0;
}

} // namespace

bool isInstanceName(std::string_view executablePath) {
  if (executablePath.ends_with(kDeletedSuffix))
    executablePath.remove_suffix(kDeletedSuffix.size());
  const auto slash = executablePath.rfind('/');
  const std::string_view name =
      slash == std::string_view::npos ? executablePath : executablePath.substr(slash + 1);
  for (std::string_view known : {"Deskhaven2", "Deskhaven2.", "Deskhaven2.exe"})
    if (sameIgnoringCase(name, known))
      return true;
  return false;
}

int countRunningInstances(const QString& procRoot) {
  int count = 0;
  const QStringList entries = QDir(procRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  for (const QString& entry : entries) {
    bool numeric = false;
    entry.toLong(&numeric);
    if (!numeric)
      continue;
    const QByteArray folder = QFile::encodeName(procRoot + '/' + entry);
    // Another user's shell is theirs: it neither stops this user's start nor could it
    // answer on this user's socket (root may read every process, a pupil may not).
    struct stat owner {};
    if (::stat(folder.constData(), &owner) != 0 || owner.st_uid != ::geteuid())
      continue;
    char target[4096];
    const ssize_t length = ::readlink((folder + "/exe").constData(), target, sizeof target);
    if (length > 0 && isInstanceName(std::string_view(target, static_cast<size_t>(length))))
      ++count;
  }
  return count;
}

QString instanceSocketPath() {
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty())
    return runtime + QStringLiteral("/deskhaven2.socket");
  return QDir::tempPath() + QStringLiteral("/deskhaven2-%1.socket").arg(::getuid());
}

InstanceChannel::InstanceChannel(QObject* parent) : QObject(parent) {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  connect(&server_, &QLocalServer::newConnection, this, &InstanceChannel::serve);
}

bool InstanceChannel::listen(const QString& path) {
  // Listening replaces whatever file is at path, so an instance that still answers
  // there is asked first; a file left by one that crashed is simply replaced.
  QLocalSocket probe;
  probe.connectToServer(path);
  if (probe.waitForConnected(500))
    return false;
  QLocalServer::removeServer(path);
  return server_.listen(path);
}

void InstanceChannel::serve() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (!socket->canReadLine())
        return;
      const QByteArray line = socket->readLine();
      if (line == kShowRequest) {
        emit showRequested();
        socket->write(kShowReply);
        socket->flush();
      } else if (line == kLogOffRequest) {
        // Answered before the question is asked: the caller does not wait for the pupil.
        socket->write(kLogOffReply);
        socket->flush();
        emit logOffRequested();
      }
      socket->disconnectFromServer();
    });
  }
}

bool InstanceChannel::requestShow(const QString& path, int timeoutMs) {
  return request(path, kShowRequest, kShowReply, timeoutMs);
}

bool InstanceChannel::requestLogOff(const QString& path, int timeoutMs) {
  return request(path, kLogOffRequest, kLogOffReply, timeoutMs);
}

bool InstanceChannel::request(const QString& path, const char* line, const char* reply,
                              int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(path);
  if (!socket.waitForConnected(timeoutMs))
    return false;
  socket.write(line);
  if (!socket.waitForBytesWritten(timeoutMs))
    return false;
  return socket.waitForReadyRead(timeoutMs) && socket.readLine() == reply;
}

} // namespace dh::shell
