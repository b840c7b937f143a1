#include <algorithm>
#include <vector>

#include "cli/commands.h"
#include "files/data_file_io.h"
#include "model/band.h"
#include "model/bcd_freq.h"
#include "model/channel_record.h"
#include "model/fields.h"
#include "text/text_ids.h"

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

std::vector<Row> ChannelRows(MemoryImage &image, const Band &band, LanguageMode language)
{
    std::vector<Row> rows;
    rows.push_back({Text(text_id::kChannelHeading, language), Text(text_id::kRxFreq, language), Text(text_id::kTxFreq, language), Text(text_id::kDecode, language),
                    Text(text_id::kEncode, language), Text(text_id::kWideNarrow, language), Text(text_id::kScan, language), Text(text_id::kTxPower, language),
                    Text(text_id::kBcl, language), Text(text_id::kScramblerColumn, language)});
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

Row FieldRow(const MemoryImage &image, const Band &band, FieldId field, LanguageMode language)
{
    return {Text(Field(field).labelId, language).trimmed(), FromStd(FieldText(image, band, field, language))};
}

std::vector<Row> VfoRows(const MemoryImage &image, const Band &band, LanguageMode language)
{
    std::vector<Row> rows;
    for (const FieldInfo &field : FieldsOf(FieldScope::Vfo))
        rows.push_back(FieldRow(image, band, field.id, language));
    return rows;
}

std::vector<Row> FeatureRows(const MemoryImage &image, const Band &band, LanguageMode language)
{
    static constexpr FieldId kShown[] = {
        FieldId::TimeOutTimer, FieldId::SquelchLevel, FieldId::ChannelDisplay, FieldId::ScanMode,
        FieldId::Lamp, FieldId::PriorityChannel, FieldId::VoxGain, FieldId::VoxDelay,
        FieldId::BeepTone, FieldId::BatterySave, FieldId::KeyLock, FieldId::Manual,
        FieldId::RevertFrequency, FieldId::FeatureScrambler, FieldId::ChordLanguage, FieldId::PttIdAni,
        FieldId::PttIdName,
    };
    std::vector<Row> rows;
    for (const FieldId field : kShown) {
        rows.push_back(FieldRow(image, band, field, language));
        // Manual reads as the printout words it.
        if (field == FieldId::Manual)
            rows.back()[1] = Text(ReadChoice(image, band, field) != 0 ? text_id::kEnable : text_id::kDisable, language);
    }
    return rows;
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

    Print(Text(text_id::kGeneral, language));
    PrintTable({{Text(text_id::kModel, language), modelText}, {Text(text_id::kBand, language), bandText}}, QStringLiteral("  "));
    Print(QString());
    Print(Text(text_id::kMemoryChannel, language));
    const std::vector<Row> channels = ChannelRows(image, band, language);
    if (channels.size() == 1)
        Print(QStringLiteral("  ") + Text(text_id::kNone, language));
    else
        PrintTable(channels, QStringLiteral("  "));
    Print(QString());
    Print(Text(text_id::kVfo, language));
    PrintTable(VfoRows(image, band, language), QStringLiteral("  "));
    Print(QString());
    Print(Text(text_id::kOptionalFeatures, language));
    PrintTable(FeatureRows(image, band, language), QStringLiteral("  "));
    return 0;
}

} // namespace zrk6::cli
