#include <QStringList>

#include "cli/commands.h"
#include "link/port_names.h"

namespace zrk6::cli {

namespace {

QString RightTrimmed(QString text)
{
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    return text;
}

} // namespace

int RunPorts(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Lists the communication ports with the system device each stands for: 1..4 always, "
                       "then every other port the system has. On Windows a number is the COM number; "
                       "elsewhere USB and ACM adapters come first, then built-in ports. Any device can "
                       "also be named directly with --port DEVICE."));
    if (const auto done = ParseCommandLine(parser, arguments, 0))
        return *done;

    Print(QStringLiteral("%1  %2  %3").arg(QStringLiteral("Port"), -4).arg(QStringLiteral("Device"), -20).arg(
        QStringLiteral("Description")));
    for (const CommPortChoice &choice : CommPortChoices()) {
        const QString description = choice.present ? choice.description : QStringLiteral("(not present)");
        Print(RightTrimmed(QStringLiteral("%1  %2  %3").arg(choice.number, -4).arg(choice.systemName, -20).arg(description)));
    }
    return 0;
}

} // namespace zrk6::cli
