#include "cli_run.h"

#include <QProcess>

namespace zrk6::test {

CliRun RunCli(const QStringList &arguments)
{
    return RunCliWith(arguments, {});
}

CliRun RunCliWith(const QStringList &arguments, const std::function<void()> &childSetup)
{
    QProcess process;
    if (childSetup)
        process.setChildProcessModifier(childSetup);
    process.start(QStringLiteral(ZRK6_CLI), arguments);
    CliRun run;
    if (!process.waitForFinished(60000))
        return run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace zrk6::test
