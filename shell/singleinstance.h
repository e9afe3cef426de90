// One shell per user: running instances are counted by executable name in /proc, and
// the first instance listens on a per-user local socket through which a second start
// asks it to show its window maximised (or to log off) before that second start exits.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

#include <string_view>

namespace dh::shell {

// Whether an executable path names this program: its file name is "Deskhaven2",
// "Deskhaven2." or "Deskhaven2.exe", without regard to case. A binary replaced while it
// runs (" (deleted)") still counts.
bool isInstanceName(std::string_view executablePath);

// This user's processes under procRoot whose executable names this program; a process
// whose executable cannot be read is not counted.
int countRunningInstances(const QString& procRoot = QStringLiteral("/proc"));

// $XDG_RUNTIME_DIR/deskhaven2.socket; without a runtime directory, a per-user name in
// the temporary folder.
QString instanceSocketPath();

// The first instance's end of the socket.
class InstanceChannel : public QObject {
  Q_OBJECT

public:
  explicit InstanceChannel(QObject* parent = nullptr);
  // Listens at path. A socket file left by an instance that crashed is replaced; one at
  // which an instance still answers is left alone, and false comes back.
  bool listen(const QString& path);
  QString path() const { return server_.fullServerName(); }

  // The second instance's call: asks the instance listening at path to show its window.
  // True when it confirmed within timeoutMs.
  static bool requestShow(const QString& path, int timeoutMs = 2000);
  // The log-off key's call: asks the instance listening at path to ask the pupil whether
  // to log off. True when it confirmed within timeoutMs, before the pupil answers.
  static bool requestLogOff(const QString& path, int timeoutMs = 2000);

signals:
  void showRequested();
  void logOffRequested();

private:
  void serve();
  static bool request(const QString& path, const char* line, const char* reply, int timeoutMs);
  QLocalServer server_;
};

} // namespace dh::shell
