#include <QByteArray>

#include "cli/commands.h"
#include "text/text_qstring.h"
#include "files/channel_list.h"
#include "files/data_file_io.h"
#include "files/file_io.h"
#include "files/system_code_page.h"
#include "model/band.h"

namespace zrk6::cli {
namespace {

QString FromStd(const std::string &text)
{
    return ToQString(text);
}

} // namespace

int RunExport(const QStringList &arguments)
{
    QCommandLineParser parser;
    if (const auto done = ParseInOut(parser, arguments,
                                     QStringLiteral("Writes the channels in use of a data file as a CSV channel list: "
                                                    "the 21 columns other radio programmers share, then BCL and "
                                                    "Scrambler."),
                                     {QStringLiteral("DATAFILE"), QStringLiteral("The data file to read.")},
                                     {QStringLiteral("CSVFILE"), QStringLiteral("The channel list to write.")}))
        return *done;
    return ConvertDataFile(parser, [](const MemoryImage &image) {
        return QByteArray::fromStdString(WriteChannelList(image, ReadBandFromImage(image)));
    });
}

int RunImport(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Makes a data file from a CSV channel list, starting from the default image of a band "
                       "(as 'new' makes it) or from the image of a data file. Each row goes to the channel "
                       "its Location names; a row that does not fit is skipped, and every skipped or rounded "
                       "row is named on standard error. A list in Windows-1252 or GBK (as spreadsheets on "
                       "Windows save it) is read too; standard error says which code page was assumed, and "
                       "which filled columns (Name, Comment, ...) the radio has no place for.\nBands: ") + BandChoices());
    const QCommandLineOption bandOption({QStringLiteral("b"), QStringLiteral("band")},
                                        QStringLiteral("Start from the default image of this band (text or index)."),
                                        QStringLiteral("TEXT|INDEX"));
    const QCommandLineOption intoOption(QStringLiteral("into"),
                                        QStringLiteral("Start from the image of this data file, in its band."),
                                        QStringLiteral("BASE.dat"));
    const QCommandLineOption strictOption(QStringLiteral("strict"),
                                          QStringLiteral("Write nothing when any row is skipped."));
    parser.addOption(bandOption);
    parser.addOption(intoOption);
    parser.addOption(strictOption);
    AddForceOption(parser);
    parser.addPositionalArgument(QStringLiteral("CSVFILE"), QStringLiteral("The channel list to read."));
    parser.addPositionalArgument(QStringLiteral("DATAFILE"), QStringLiteral("The data file to write."));
    if (const auto done = ParseCommandLine(parser, arguments, 2))
        return *done;
    if (parser.isSet(bandOption) == parser.isSet(intoOption))
        return UsageError(QStringLiteral("give either --band or --into; see '%1 --help'").arg(arguments.value(0)));
    const QString csv = parser.positionalArguments().at(0);
    const QString out = parser.positionalArguments().at(1);

    MemoryImage image;
    if (parser.isSet(bandOption)) {
        const int row = FindBandRow(parser.value(bandOption));
        if (row < 0)
            return UsageError(QStringLiteral("unknown band '%1'; choose one of %2")
                                  .arg(parser.value(bandOption), BandChoices()));
        image = StartupImage(BandFromRow(row));
    } else {
        const QString base = parser.value(intoOption);
        const LoadedDataFile loaded = LoadDataFile(base);
        if (!loaded.ok())
            return Fail(LoadFailure(base, loaded, kEnglish));
        image = loaded.image;
    }
    if (const auto refused = CheckOutputPath(parser, out))
        return *refused;

    const FileReadResult read = ReadWholeFile(csv, static_cast<qint64>(kMaxCsvBytes));
    if (!read.error.isEmpty())
        return Fail(QStringLiteral("%1: %2").arg(csv, read.error));
    const Band band = ReadBandFromImage(image);
    ChannelListImport import;
    if (read.tooLarge) {
        import.error = ListError::Csv;
        import.csvError = CsvError::TooLarge;
    } else {
        import = ReadChannelListFile(
            std::string_view(read.bytes.constData(), static_cast<std::size_t>(read.bytes.size())), band,
            SystemCodePage());
    }
    if (!import.ok())
        return Fail(QStringLiteral("%1: %2").arg(csv, FromStd(ListErrorText(import, kEnglish))));

    for (const std::string &note : ListImportNotes(import, kEnglish))
        std::fprintf(stderr, "%s: %s\n", csv.toUtf8().constData(), note.c_str());
    for (const ListReportLine &line : import.report)
        std::fprintf(stderr, "%s: %s\n", csv.toUtf8().constData(), ListReportLineText(line, kEnglish).c_str());
    if (import.channels.empty())
        return Fail(QStringLiteral("%1: %2 Nothing written.").arg(csv, FromStd(ListSummaryText(import, kEnglish))));
    if (parser.isSet(strictOption) && import.skippedRows() > 0)
        return Fail(QStringLiteral("%1: %2 %3 skipped; nothing written (--strict).")
                        .arg(csv)
                        .arg(import.skippedRows())
                        .arg(import.skippedRows() == 1 ? QStringLiteral("row") : QStringLiteral("rows")));

    ApplyChannelList(image, import, band);
    if (const QString error = SaveDataFile(out, image); !error.isEmpty())
        return Fail(QStringLiteral("%1: %2").arg(out, error));
    Print(FromStd(ListSummaryText(import, kEnglish)));
    return 0;
}

} // namespace zrk6::cli
