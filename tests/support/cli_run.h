#pragma once

#include <functional>

#include <QString>
#include <QStringList>

namespace zrk6::test {

// What a run of zrk6-cli left behind.
struct CliRun {
    int status = -1; // the exit code; -1 when it crashed or ran past a minute
    QString out;
    QString err;
};

// Runs the real zrk6-cli binary with the arguments and waits for it to end.
CliRun RunCli(const QStringList &arguments);
// The same, with childSetup run in the child between fork and exec (to set limits or signals).
CliRun RunCliWith(const QStringList &arguments, const std::function<void()> &childSetup);

} // namespace zrk6::test
