#include <algorithm>
#include <vector>

#include "cli/commands.h"
#include "files/data_file_io.h"
#include "model/band.h"
#include "model/bcd_freq.h"
#include "model/channel_record.h"
#include "model/optional_features.h"
#include "model/vfo.h"

namespace zrk6::cli {
namespace {

using Row = std::vector<QString>;

QString FromStd(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Columns on a terminal: East Asian wide characters take two.
int DisplayWidth(const QString &text)
{
    int width = 0;
    for (const char32_t c : text.toUcs4()) {
        const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF)
                          || (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF)
                          || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60)
                          || (c >= 0xFFE0 && c <= 0xFFE6);
        width += wide ? 2 : 1;
    }
    return width;
}

// Prints rows with every column padded to its widest cell, two spaces apart.
void PrintTable(const std::vector<Row> &rows, const QString &indent)
{
    std::vector<int> widths;
    for (const Row &row : rows) {
        widths.resize(std::max(widths.size(), row.size()), 0);
        for (std::size_t c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], DisplayWidth(row[c]));
    }
    for (const Row &row : rows) {
        QString line = indent;
        for (std::size_t c = 0; c < row.size(); ++c) {
            line += row[c];
            if (c + 1 < row.size())
                line += QString(widths[c] - DisplayWidth(row[c]) + 2, u' ');
        }
        while (line.endsWith(u' '))
            line.chop(1);
        Print(line);
    }
}

QString OnOff(bool on, LanguageMode language)
{
    return Text(on ? 1100 : 1101, language);
}

// The item of a list whose index lies outside it: the stored number itself.
QString Item(const QStringList &items, int index)
{
    return index >= 0 && index < items.size() ? items.at(index) : QString::number(index);
}

std::vector<Row> ChannelRows(MemoryImage &image, const Band &band, LanguageMode language)
{
    std::vector<Row> rows;
    rows.push_back({Text(1239, language), Text(1200, language), Text(1202, language), Text(1211, language),
                    Text(1212, language), Text(1216, language), Text(1219, language), Text(1213, language),
                    Text(1227, language), Text(1656, language)});
    for (int channel = 1; channel <= kChannelCount; ++channel) {
        const RowTexts texts = ShowChannelRow(image, channel, band, language);
        if (texts[0].empty())
            continue;
        Row row{QString::number(channel)};
        for (const std::string &text : texts)
            row.push_back(FromStd(text));
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<Row> VfoRows(const MemoryImage &image, LanguageMode language)
{
    const VfoFields vfo = ReadVfo(image, language);
    const QStringList steps{QStringLiteral("5K"), QStringLiteral("10K"), QStringLiteral("6.25K"),
                            QStringLiteral("12.5K"), QStringLiteral("25K")};
    const QStringList duplex{Text(1241, language), Text(1243, language), Text(1242, language)};
    return {
        {Text(1200, language), FromStd(vfo.rxText)},
        {Text(1202, language), FromStd(ReadFreqLowFirst(image, vfo::kTxFreq / kRowSize, vfo::kTxFreq % kRowSize))},
        {Text(1240, language), FromStd(vfo.offsetText)},
        {Text(1255, language), Item(duplex, vfo.duplex)},
        {Text(1246, language), Item(steps, vfo.step)},
        {Text(1216, language), Text(vfo.wide ? 1217 : 1218, language)},
        {Text(1213, language), Text(vfo.highPower ? 1215 : 1214, language)},
        {Text(1211, language), FromStd(vfo.decodeText)},
        {Text(1212, language), FromStd(vfo.encodeText)},
    };
}

std::vector<Row> FeatureRows(const MemoryImage &image, const Band &band, LanguageMode language)
{
    const OptionalFeatures f = DecodeOptionalFeatures(image, band);
    const QString off = Text(1101, language);
    const QString mode = Text(1416, language);
    const QStringList display{Text(1205, language), Text(1205, language) + u'+' + Text(1206, language)};
    const QStringList scan{off, Text(1205, language) + mode, QStringLiteral("CTCSS ") + mode,
                           QStringLiteral("DCS ") + mode};
    const QStringList lamp{off, Text(1105, language), Text(1100, language)};
    const QStringList delays{QStringLiteral("0.3"), QStringLiteral("0.5"), QStringLiteral("1.0"),
                             QStringLiteral("1.5"), QStringLiteral("2.0"), QStringLiteral("3.0")};
    const QStringList chord{Text(1322, language), Text(1321, language), off};
    auto offOrNumber = [&](int value, int scale) {
        return value == 0 ? off : QString::number(value * scale);
    };
    auto label = [&](int id) { return Text(id, language).trimmed(); };
    return {
        {label(1404), offOrNumber(f.timeOutTimer, 15)},
        {label(1408), QString::number(f.squelchLevel)},
        {label(1459), Item(display, f.channelDisplay)},
        {label(1460), Item(scan, f.scanMode)},
        {label(1409), Item(lamp, f.lamp)},
        {label(1462), offOrNumber(f.priorityChannel, 1)},
        {label(1410), offOrNumber(f.voxGain, 1)},
        {label(1451), Item(delays, f.voxDelay)},
        {label(1414), OnOff(f.beepTone, language)},
        {label(1415), OnOff(f.batterySave, language)},
        {label(1401), OnOff(f.keyLock, language)},
        {label(1254), Text(f.manual ? 1115 : 1114, language)},
        {label(1461), OnOff(f.revertFrequency, language)},
        {label(1428), OnOff(f.scrambler, language)},
        {label(1450), Item(chord, static_cast<int>(f.chordLanguage))},
        {label(1452), FromStd(f.pttIdAni)},
        {label(1453), FromStd(f.pttIdName)},
    };
}

} // namespace

int RunShow(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Shows the band, the model, the channels in use (as the channel grid shows "
                       "them), the VFO and the optional features of a data file."));
    const QCommandLineOption langOption = LanguageOption(QStringLiteral("texts"));
    parser.addOption(langOption);
    parser.addPositionalArgument(QStringLiteral("FILE.dat"), QStringLiteral("The data file to show."));
    if (const auto done = ParseCommandLine(parser, arguments, 1))
        return *done;
    LanguageMode language = kEnglish;
    if (const auto done = ReadLanguage(parser, langOption, language))
        return *done;

    const QString path = parser.positionalArguments().at(0);
    const LoadedDataFile loaded = LoadDataFile(path);
    if (!loaded.ok())
        return Fail(LoadFailure(path, loaded, language));

    // A copy, shown the way the window shows a file it opens.
    MemoryImage image = loaded.image;
    const Band band = ReadBandFromImage(image);
    const std::uint8_t modelByte = image.at(addr::kModel);
    const QString bandText = band.text.empty() ? QStringLiteral("%1 - %2 MHz").arg(band.low).arg(band.high)
                                               : FromStd(band.text);
    const QString modelText = QStringLiteral("%1 (0x%2)")
                                  .arg(FromStd(ModelTable()[static_cast<std::size_t>(ModelIndexFromByte(modelByte))].text))
                                  .arg(modelByte, 2, 16, QLatin1Char('0'));

    Print(Text(1250, language));
    PrintTable({{Text(1251, language), modelText}, {Text(1252, language), bandText}}, QStringLiteral("  "));
    Print(QString());
    Print(Text(1301, language));
    const std::vector<Row> channels = ChannelRows(image, band, language);
    if (channels.size() == 1)
        Print(QStringLiteral("  ") + Text(1104, language));
    else
        PrintTable(channels, QStringLiteral("  "));
    Print(QString());
    Print(Text(1245, language));
    PrintTable(VfoRows(image, language), QStringLiteral("  "));
    Print(QString());
    Print(Text(1400, language));
    PrintTable(FeatureRows(image, band, language), QStringLiteral("  "));
    return 0;
}

} // namespace zrk6::cli
