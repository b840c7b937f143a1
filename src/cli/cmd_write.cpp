#include <QStringList>

#include "cli/cli_transfer.h"
#include "cli/commands.h"
#include "files/data_file_io.h"

namespace zrk6::cli {

int RunWrite(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes a data file into the radio over the programming cable. The radio's "
                       "identification must match the file's image."));
    const TransferOptions transfer;
    transfer.addTo(parser);
    AddForceOption(parser, QStringLiteral("Replace the --trace file if it exists."));
    const QCommandLineOption verifyOption(
        QStringLiteral("verify"),
        QStringLiteral("After the write, read the radio back and compare what was sent; differences are "
                       "listed and the exit status is 1."));
    parser.addOption(verifyOption);
    const QCommandLineOption channelsOnlyOption(
        QStringLiteral("channels-only"),
        QStringLiteral("Read the radio first, put only the file's 128 channels into its memory and write "
                       "that back, verified; the radio keeps its VFO, features and other settings."));
    parser.addOption(channelsOnlyOption);
    parser.addPositionalArgument(QStringLiteral("IN.dat"), QStringLiteral("The data file to write."));
    if (const auto done = ParseCommandLine(parser, arguments, 1))
        return *done;
    TransferSettings settings;
    if (const auto done = ReadTransferSettings(parser, transfer, settings))
        return *done;
    settings.verify = parser.isSet(verifyOption);

    const QString in = parser.positionalArguments().at(0);
    const LoadedDataFile loaded = LoadDataFile(in);
    if (!loaded.ok())
        return Fail(LoadFailure(in, loaded, settings.language));
    RadioJobSettings job;
    job.image = loaded.image;
    job.verify = settings.verify;
    if (parser.isSet(channelsOnlyOption)) {
        // The read also checks the radio's identification against the file's and makes the backup.
        job.task = RadioTask::ReadThenWrite;
        job.channelsOnly = true;
        job.verify = true;
    } else {
        job.task = RadioTask::Write;
    }
    return RunRadioJob(job, settings, nullptr);
}

} // namespace zrk6::cli
