#include <QByteArray>

#include "cli/commands.h"
#include "files/data_file_io.h"
#include "files/file_io.h"

namespace zrk6::cli {

int RunUnpack(const QStringList &arguments)
{
    QCommandLineParser parser;
    if (const auto done = ParseInOut(parser, arguments,
                                     QStringLiteral("Writes the 4096 memory image bytes of a data file, in address "
                                                    "order, exactly as stored."),
                                     {QStringLiteral("FILE.dat"), QStringLiteral("The data file to read.")},
                                     {QStringLiteral("OUT.img"), QStringLiteral("The raw image to write.")}))
        return *done;
    const QString in = parser.positionalArguments().at(0);
    const QString out = parser.positionalArguments().at(1);

    const LoadedDataFile loaded = LoadDataFile(in);
    if (!loaded.ok())
        return Fail(LoadFailure(in, loaded, kEnglish));
    if (const auto refused = CheckOutputPath(parser, out))
        return *refused;
    const auto bytes = loaded.image.bytes();
    const QByteArray raw(reinterpret_cast<const char *>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    if (const QString error = SaveFileAtomically(out, raw); !error.isEmpty())
        return Fail(QStringLiteral("%1: %2").arg(out, error));
    return 0;
}

} // namespace zrk6::cli
