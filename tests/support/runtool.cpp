#include "tests/support/runtool.h"

#include <QProcess>

ToolRun runTool(const QString& program, const QStringList& args, const QByteArray& input,
                const QProcessEnvironment& env) {
  QProcess process;
  process.setProcessEnvironment(env);
  process.start(program, args);
  process.write(input);
  process.closeWriteChannel();
  ToolRun run;
  if (process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit)
    run.status = process.exitCode();
  run.out = QString::fromUtf8(process.readAllStandardOutput());
  run.err = QString::fromUtf8(process.readAllStandardError());
  return run;
}
