#include <cstdio>
#include <iterator>

#include <QCommandLineParser>
#include <QCoreApplication>

#include "cli/commands.h"
#include "cli/console.h"

namespace {

using zrk6::cli::Command;

// Every command of zrk6-cli, in the order --help lists them.
const Command kCommands[] = {
    {"new", "Save the default image of a band as a data file.", zrk6::cli::RunNew},
    {"show", "Show the band, channels, VFO and optional features of a data file.", zrk6::cli::RunShow},
    {"unpack", "Extract the raw 4096-byte memory image from a data file.", zrk6::cli::RunUnpack},
    {"pack", "Store a raw 4096-byte memory image as a data file.", zrk6::cli::RunPack},
    {"export", "Write the channels of a data file as a CSV channel list.", zrk6::cli::RunExport},
    {"import", "Make a data file from a CSV channel list.", zrk6::cli::RunImport},
    {"diff", "List how two data files or images differ, by meaning.", zrk6::cli::RunDiff},
    {"decode", "Write a data file as text (YAML) for git, review and scripts.", zrk6::cli::RunDecode},
    {"encode", "Make a data file from that text, byte for byte.", zrk6::cli::RunEncode},
    {"edit", "Change fields of many channels at once.", zrk6::cli::RunEdit},
    {"sort", "Sort channels by frequency, tone or power.", zrk6::cli::RunSort},
    {"compact", "Close the gaps between channels in use.", zrk6::cli::RunCompact},
    {"duplicates", "List channels that repeat another's frequencies and tones.", zrk6::cli::RunDuplicates},
    // Radio link commands go here, one line each.
    {"read", "Read the radio's memory into a data file.", zrk6::cli::RunRead},
    {"write", "Write a data file into the radio.", zrk6::cli::RunWrite},
    {"fleet", "Program several radios at once, each verified and logged.", zrk6::cli::RunFleet},
    {"ports", "List the communication ports and their system names.", zrk6::cli::RunPorts},
    {"doctor", "Check the cable: ports, permissions, brltty, ModemManager.", zrk6::cli::RunDoctor},
};

QString CommandList()
{
    QString text = QStringLiteral("Commands:\n");
    for (const Command &command : kCommands)
        text += QStringLiteral("  %1  %2\n").arg(QString::fromLatin1(command.name), -8).arg(
            QString::fromLatin1(command.summary));
    text += QStringLiteral("\nRun 'zrk6-cli COMMAND --help' for the arguments of a command.\n");
    return text;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    zrk6::cli::PrepareConsole();
    QCoreApplication::setApplicationName(QStringLiteral("zrk6-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZRK6_VERSION));

    // The options before the command are the program's own; the rest belong to the command.
    const QStringList arguments = QCoreApplication::arguments();
    qsizetype commandIndex = 1;
    while (commandIndex < arguments.size() && arguments.at(commandIndex).startsWith(u'-'))
        ++commandIndex;

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("ZR-K6 programmer on the command line: data files and the radio.\n\n")
        + CommandList());
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("The command to run."),
                                 QStringLiteral("COMMAND [ARGUMENTS...]"));
    if (!parser.parse(arguments.mid(0, commandIndex)))
        return zrk6::cli::UsageError(parser.errorText());
    if (parser.isSet(help)) {
        std::fputs(parser.helpText().toUtf8().constData(), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("zrk6-cli %s\n", ZRK6_VERSION);
        return 0;
    }
    if (commandIndex >= arguments.size()) {
        std::fputs(parser.helpText().toUtf8().constData(), stderr);
        return 2;
    }

    const QString name = arguments.at(commandIndex);
    for (const Command &command : kCommands) {
        if (name == QLatin1String(command.name)) {
            QStringList commandArguments = arguments.mid(commandIndex);
            commandArguments[0] = QStringLiteral("zrk6-cli ") + name;
            return command.run(commandArguments);
        }
    }
    return zrk6::cli::UsageError(
        QStringLiteral("unknown command '%1'; see 'zrk6-cli --help'").arg(name));
}
