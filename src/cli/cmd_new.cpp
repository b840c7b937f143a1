#include <QStringList>

#include "cli/commands.h"
#include "files/data_file_io.h"
#include "model/band.h"
#include "model/memory_image.h"

namespace zrk6::cli {
namespace {

// "144 - 146 MHz", "144-146", "144-146mhz" and the list index "1" all name the same row.
int FindBandRow(const QString &text)
{
    bool isNumber = false;
    const int index = text.toInt(&isNumber);
    if (isNumber)
        return index >= 0 && index < kBandCount ? index : -1;
    auto normal = [](QString t) {
        t = t.toLower().remove(u' ');
        if (t.endsWith(QLatin1String("mhz")))
            t.chop(3);
        return t;
    };
    const QString wanted = normal(text);
    for (int row = 0; row < kBandCount; ++row) {
        const std::string_view bandText = BandTable()[static_cast<std::size_t>(row)].text;
        if (normal(QString::fromUtf8(bandText.data(), static_cast<qsizetype>(bandText.size()))) == wanted)
            return row;
    }
    return -1;
}

QString BandChoices()
{
    QStringList choices;
    for (int row = 0; row < kBandCount; ++row) {
        const std::string_view text = BandTable()[static_cast<std::size_t>(row)].text;
        choices << QStringLiteral("%1 \"%2\"").arg(row).arg(
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }
    return choices.join(QStringLiteral(", "));
}

} // namespace

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
