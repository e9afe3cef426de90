// Whole-file reads and writes for tests that lay out files or compare a file's bytes
// before and after an operation that must not change it.
#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

// The file's bytes, or empty when it cannot be read.
QByteArray fileBytes(const QString& path);
// Writes bytes (replacing the file) and, when given, sets its permissions.
bool writeFile(const QString& path, const QByteArray& bytes,
               QFileDevice::Permissions permissions = {});
