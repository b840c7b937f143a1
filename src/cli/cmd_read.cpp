#include <QStringList>

#include "cli/cli_transfer.h"
#include "cli/commands.h"
#include "files/data_file_io.h"
#include "model/band.h"

namespace zrk6::cli {

int RunRead(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Reads the radio's memory over the programming cable and saves it as a data file. "
                       "The radio's identification must match the base image (--base, else a new default "
                       "image). OUT.dat is written only when the whole memory has arrived."));
    const TransferOptions transfer;
    transfer.addTo(parser);
    const QCommandLineOption baseOption(QStringLiteral("base"),
                                        QStringLiteral("The data file whose identification the radio must match."),
                                        QStringLiteral("FILE.dat"));
    parser.addOption(baseOption);
    AddForceOption(parser, QStringLiteral("Replace OUT.dat and the --trace file if they exist."));
    parser.addPositionalArgument(QStringLiteral("OUT.dat"), QStringLiteral("The data file to save."));
    if (const auto done = ParseCommandLine(parser, arguments, 1))
        return *done;
    TransferSettings settings;
    if (const auto done = ReadTransferSettings(parser, transfer, settings))
        return *done;

    const QString out = parser.positionalArguments().at(0);
    if (const auto done = CheckOutputPath(parser, out))
        return *done;

    MemoryImage base = StartupImage();
    if (parser.isSet(baseOption)) {
        const QString path = parser.value(baseOption);
        const LoadedDataFile loaded = LoadDataFile(path);
        if (!loaded.ok())
            return Fail(LoadFailure(path, loaded, settings.language));
        base = loaded.image;
    }

    MemoryImage radio;
    RadioJobSettings job;
    job.task = RadioTask::Read;
    job.image = base;
    if (const int status = RunRadioJob(job, settings, &radio); status != 0)
        return status;
    if (const QString error = SaveDataFile(out, radio); !error.isEmpty())
        return Fail(QStringLiteral("%1: %2").arg(out, error));
    const std::string band = ReadBandFromImage(radio).text;
    Print(QStringLiteral("Saved %1%2").arg(out, band.empty() ? QString()
                                                              : QStringLiteral(" (%1)").arg(QString::fromStdString(band))));
    return 0;
}

} // namespace zrk6::cli
