#pragma once

#include <functional>

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zrk6::test {

// What a run of zrk6-cli left behind.
struct CliRun {
    int status = -1; // the exit code; -1 when it crashed or ran past a minute
    QString out;
    QString err;
};

// The whole content of a file; empty when it cannot be read.
QByteArray ReadFileBytes(const QString &path);
// Writes the file whole; false when it cannot.
bool WriteFileBytes(const QString &path, const QByteArray &bytes);

// Runs the real zrk6-cli binary with the arguments and waits for it to end.
CliRun RunCli(const QStringList &arguments);
// The same, with childSetup run in the child between fork and exec (to set limits or signals).
// On Windows there is no such moment and childSetup is not run.
CliRun RunCliWith(const QStringList &arguments, const std::function<void()> &childSetup);
// The same, with standard input read from a file.
CliRun RunCliReading(const QStringList &arguments, const QString &standardInput);

} // namespace zrk6::test
