#include <QStringList>

#include "cli/commands.h"
#include "files/data_file_io.h"
#include "model/band.h"
#include "model/memory_image.h"

namespace zrk6::cli {

int RunNew(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Saves the default image of a band, as the programmer builds it at start-up, "
                       "as a data file.\nBands: ") + BandChoices());
    const QCommandLineOption bandOption(
        {QStringLiteral("b"), QStringLiteral("band")},
        QStringLiteral("The band, as its text or list index (default \"144 - 146 MHz\")."),
        QStringLiteral("TEXT|INDEX"), QStringLiteral("144 - 146 MHz"));
    parser.addOption(bandOption);
    AddForceOption(parser);
    parser.addPositionalArgument(QStringLiteral("OUT.dat"), QStringLiteral("The data file to write."));
    if (const auto done = ParseCommandLine(parser, arguments, 1))
        return *done;

    const int row = FindBandRow(parser.value(bandOption));
    if (row < 0)
        return UsageError(QStringLiteral("unknown band '%1'; choose one of %2")
                              .arg(parser.value(bandOption), BandChoices()));
    const QString out = parser.positionalArguments().at(0);
    if (const auto refused = CheckOutputPath(parser, out))
        return *refused;

    if (const QString error = SaveDataFile(out, StartupImage(BandFromRow(row))); !error.isEmpty())
        return Fail(QStringLiteral("%1: %2").arg(out, error));
    return 0;
}

} // namespace zrk6::cli
