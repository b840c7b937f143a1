#include "cli_run.h"

#include <QFile>
#include <QProcess>

namespace zrk6::test {

QByteArray ReadFileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteFileBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

namespace {

CliRun Run(QProcess &process, const QStringList &arguments)
{
    process.start(QStringLiteral(ZRK6_CLI), arguments);
    CliRun run;
    if (!process.waitForFinished(60000))
        return run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace

CliRun RunCli(const QStringList &arguments)
{
    QProcess process;
    return Run(process, arguments);
}

CliRun RunCliWith(const QStringList &arguments, const std::function<void()> &childSetup)
{
    QProcess process;
#ifdef Q_OS_UNIX
    if (childSetup)
        process.setChildProcessModifier(childSetup);
#else
    Q_UNUSED(childSetup); // no fork and exec to step in between
#endif
    return Run(process, arguments);
}

CliRun RunCliReading(const QStringList &arguments, const QString &standardInput)
{
    QProcess process;
    process.setStandardInputFile(standardInput);
    return Run(process, arguments);
}

} // namespace zrk6::test
