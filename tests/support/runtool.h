// Runs one of the project's programs to its end, so that tests check tools the way an
// administrator's script uses them: exit status and both output streams.
#pragma once

#include <QProcessEnvironment>
#include <QStringList>

struct ToolRun {
  int status = -1; // -1 when the program did not start, crashed or timed out
  QString out;
  QString err;
};

ToolRun runTool(const QString& program, const QStringList& args, const QByteArray& input = {},
                const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());
