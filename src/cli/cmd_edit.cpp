// edit, sort, compact and duplicates: the window's channel operations on data files.
#include <cstdio>

#include <QByteArray>

#include "cli/commands.h"
#include "files/data_file_io.h"
#include "model/channel_operations.h"
#include "text/text_qstring.h"

namespace zrk6::cli {
namespace {

// A file that cannot be read or written is as much a reason to stop as a bad argument.
int FileError(const QString &message)
{
    Fail(message);
    return 2;
}

// Loads IN, runs operate on its image and saves the result as OUT. Refusals and load
// failures write nothing and exit 2; channels left alone are named and exit 1.
int Transform(const QCommandLineParser &parser,
              const std::function<std::optional<ChannelOperationResult>(const MemoryImage &, const Band &)> &operate)
{
    const QString in = parser.positionalArguments().at(0);
    const QString out = parser.positionalArguments().at(1);
    const LoadedDataFile loaded = LoadDataFile(in);
    if (!loaded.ok())
        return FileError(LoadFailure(in, loaded, kEnglish));
    if (CheckOutputPath(parser, out))
        return 2;
    const Band band = ReadBandFromImage(loaded.image);
    const auto result = operate(loaded.image, band);
    if (!result)
        return 2;
    if (!result->refusal.empty())
        return FileError(QStringLiteral("%1: %2; nothing written").arg(in, ToQString(result->refusal)));
    for (int channel : result->leftAlone)
        std::fprintf(stderr, "zrk6-cli: channel %d left alone: it cannot take the new values\n", channel);
    if (const QString error = SaveDataFile(out, result->image); !error.isEmpty())
        return FileError(QStringLiteral("%1: %2").arg(out, error));
    return result->leftAlone.empty() ? 0 : 1;
}

std::optional<std::vector<int>> ChannelsOption(const QCommandLineParser &parser, const QCommandLineOption &option)
{
    const ChannelListParse parsed = ParseChannelList(parser.value(option).toStdString());
    if (!parsed.error.empty()) {
        UsageError(QStringLiteral("--channels: %1").arg(ToQString(parsed.error)));
        return std::nullopt;
    }
    return parsed.channels;
}

QCommandLineOption MakeChannelsOption()
{
    return QCommandLineOption(QStringLiteral("channels"),
                              QStringLiteral("The channels to work on, like 1-20,40,45-50 (default: all)."),
                              QStringLiteral("LIST"));
}

std::optional<Tone> ParseTone(const QString &text)
{
    if (text.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0)
        return Tone{};
    return ToneFromText(text.toUpper().toStdString());
}

// A signed offset in MHz: "+0.6", "-5", "0".
std::optional<FreqUnits> ParseOffset(QString text)
{
    text = text.trimmed();
    int sign = 1;
    if (text.startsWith(QLatin1Char('+')) || text.startsWith(QLatin1Char('-'))) {
        sign = text.startsWith(QLatin1Char('-')) ? -1 : 1;
        text.remove(0, 1);
    }
    if (text.isEmpty() || !text.at(0).isDigit())
        return std::nullopt;
    const auto units = ParseFreqText(text.toStdString());
    if (!units)
        return std::nullopt;
    return sign * *units;
}

// Sets one FIELD=VALUE of change; a usage error's exit status otherwise.
std::optional<int> SetField(ChannelChange &change, const QString &assignment)
{
    const int equals = assignment.indexOf(QLatin1Char('='));
    const QString field = assignment.left(equals).trimmed().toLower();
    const QString value = equals < 0 ? QString() : assignment.mid(equals + 1).trimmed();
    const QString lower = value.toLower();
    const auto bad = [&](const QString &choices) {
        return UsageError(QStringLiteral("--set %1: '%2' is not one of %3").arg(field, value, choices));
    };
    const auto choose = [&](std::initializer_list<const char *> names) -> int {
        int i = 0;
        for (const char *name : names) {
            if (lower == QLatin1String(name))
                return i;
            ++i;
        }
        return -1;
    };
    if (equals < 0)
        return UsageError(QStringLiteral("--set '%1': write FIELD=VALUE").arg(assignment));
    if (field == QLatin1String("power")) {
        const int i = choose({"low", "mid", "high"});
        if (i < 0)
            return bad(QStringLiteral("high, mid, low"));
        change.power = static_cast<TxPower>(i);
    } else if (field == QLatin1String("wide")) {
        const int i = choose({"narrow", "wide"});
        if (i < 0)
            return bad(QStringLiteral("wide, narrow"));
        change.wide = i == 1;
    } else if (field == QLatin1String("scan")) {
        const int i = choose({"del", "add"});
        if (i < 0)
            return bad(QStringLiteral("add, del"));
        change.scan = i == 1;
    } else if (field == QLatin1String("bcl")) {
        const int i = choose({"off", "carrier", "qt/dqt"});
        if (i < 0)
            return bad(QStringLiteral("off, carrier, qt/dqt"));
        change.busyLock = static_cast<BusyLock>(i);
    } else if (field == QLatin1String("scrambler")) {
        const int i = choose({"off", "on"});
        if (i < 0)
            return bad(QStringLiteral("on, off"));
        change.scrambler = i == 1;
    } else if (field == QLatin1String("decode") || field == QLatin1String("encode")) {
        const auto tone = ParseTone(value);
        if (!tone)
            return bad(QStringLiteral("none, a CTCSS tone of the list (88.5) or a DCS code (D023N, D023I)"));
        (field == QLatin1String("decode") ? change.decode : change.encode) = *tone;
    } else if (field == QLatin1String("offset")) {
        const auto offset = ParseOffset(value);
        if (!offset)
            return bad(QStringLiteral("a signed number of MHz (+0.6, -5, 0)"));
        change.offset = *offset;
        change.receiveOnly = false;
    } else if (field == QLatin1String("tx")) {
        if (lower != QLatin1String("none"))
            return bad(QStringLiteral("none (receive only); use offset= for a transmit frequency"));
        change.receiveOnly = true;
        change.offset.reset();
    } else {
        return UsageError(QStringLiteral("--set: unknown field '%1'; use power, wide, scan, bcl, scrambler, decode, "
                                         "encode, offset or tx")
                              .arg(field));
    }
    return std::nullopt;
}

} // namespace

int RunEdit(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption channelsOption = MakeChannelsOption();
    const QCommandLineOption setOption(
        QStringLiteral("set"),
        QStringLiteral("A field and its value: power=high|mid|low, wide=wide|narrow, scan=add|del, "
                       "bcl=off|carrier|qt/dqt, scrambler=on|off, decode=/encode=none|88.5|D023N|D023I, "
                       "offset=+0.6|-5|0 (TX = RX + offset), tx=none (receive only). Repeat for more fields."),
        QStringLiteral("FIELD=VALUE"));
    parser.addOption(channelsOption);
    parser.addOption(setOption);
    if (const auto done = ParseInOut(parser, arguments,
                                     QStringLiteral("Changes fields of many channels at once. Channels not in use are "
                                                    "skipped; a channel that cannot take a value is named and left "
                                                    "alone (exit status 1)."),
                                     {QStringLiteral("IN"), QStringLiteral("The data file to read.")},
                                     {QStringLiteral("OUT"), QStringLiteral("The data file to write (IN with --force).")}))
        return *done;
    const auto channels = ChannelsOption(parser, channelsOption);
    if (!channels)
        return 2;
    if (parser.values(setOption).isEmpty())
        return UsageError(QStringLiteral("give at least one --set FIELD=VALUE"));
    ChannelChange change;
    for (const QString &assignment : parser.values(setOption)) {
        if (const auto error = SetField(change, assignment))
            return *error;
    }
    return Transform(parser, [&](const MemoryImage &image, const Band &band) {
        return std::optional(ChangeChannels(image, band, *channels, change));
    });
}

int RunSort(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption channelsOption = MakeChannelsOption();
    const QCommandLineOption byOption(QStringLiteral("by"), QStringLiteral("rx, tx, decode, encode or power."),
                                      QStringLiteral("KEY"));
    const QCommandLineOption descendingOption(QStringLiteral("descending"), QStringLiteral("Largest first."));
    parser.addOption(byOption);
    parser.addOption(descendingOption);
    parser.addOption(channelsOption);
    if (const auto done = ParseInOut(parser, arguments,
                                     QStringLiteral("Sorts channels, keeping the order of equal ones; channels not in "
                                                    "use gather at the end. Whole records move, and the priority "
                                                    "channel follows its channel."),
                                     {QStringLiteral("IN"), QStringLiteral("The data file to read.")},
                                     {QStringLiteral("OUT"), QStringLiteral("The data file to write (IN with --force).")}))
        return *done;
    const QString by = parser.value(byOption).toLower();
    const QStringList keys{QStringLiteral("rx"), QStringLiteral("tx"), QStringLiteral("decode"),
                           QStringLiteral("encode"), QStringLiteral("power")};
    if (!keys.contains(by))
        return UsageError(QStringLiteral("--by: '%1' is not one of rx, tx, decode, encode, power").arg(parser.value(byOption)));
    const auto channels = ChannelsOption(parser, channelsOption);
    if (!channels)
        return 2;
    const auto key = static_cast<SortKey>(keys.indexOf(by));
    return Transform(parser, [&](const MemoryImage &image, const Band &band) {
        return std::optional(SortChannels(image, band, *channels, key, parser.isSet(descendingOption)));
    });
}

int RunCompact(const QStringList &arguments)
{
    QCommandLineParser parser;
    if (const auto done = ParseInOut(parser, arguments,
                                     QStringLiteral("Closes the gaps: channels in use move up in their order."),
                                     {QStringLiteral("IN"), QStringLiteral("The data file to read.")},
                                     {QStringLiteral("OUT"), QStringLiteral("The data file to write (IN with --force).")}))
        return *done;
    return Transform(parser, [](const MemoryImage &image, const Band &band) {
        return std::optional(CompactChannels(image, band));
    });
}

int RunDuplicates(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Lists the channels whose RX, TX and both tones equal another's, one line per group: the "
                       "last channel of the group, then the ones it repeats (\"40 = 7 = 9\")."));
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The data file to read."));
    if (const auto done = ParseCommandLine(parser, arguments, 1))
        return *done;
    const QString in = parser.positionalArguments().at(0);
    const LoadedDataFile loaded = LoadDataFile(in);
    if (!loaded.ok())
        return FileError(LoadFailure(in, loaded, kEnglish));
    for (const std::vector<int> &group : FindDuplicateChannels(loaded.image, ReadBandFromImage(loaded.image))) {
        QString line = QString::number(group.back());
        for (std::size_t i = 0; i + 1 < group.size(); ++i)
            line += QStringLiteral(" = %1").arg(group[i]);
        Print(line);
    }
    return 0;
}

} // namespace zrk6::cli
