#include "files/channel_list.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>

#include "model/channel_record.h"
#include "model/decimal_text.h"
#include "model/tone.h"
#include "text/text_ids.h"

namespace zrk6 {
namespace {

// The columns in the order a list is written: the 21 shared ones, then two of our own.
enum Column {
    kLocation,
    kName,
    kFrequency,
    kDuplex,
    kOffset,
    kTone,
    kRToneFreq,
    kCToneFreq,
    kDtcsCode,
    kDtcsPolarity,
    kRxDtcsCode,
    kCrossMode,
    kMode,
    kTStep,
    kSkip,
    kPower,
    kComment,
    kUrCall,
    kRpt1Call,
    kRpt2Call,
    kDvCode,
    kBcl,
    kScrambler,
    kColumnCount
};

constexpr std::array<std::string_view, kColumnCount> kColumnNames{
    "Location",  "Name",      "Frequency", "Duplex",       "Offset",     "Tone",
    "rToneFreq", "cToneFreq", "DtcsCode",  "DtcsPolarity", "RxDtcsCode", "CrossMode",
    "Mode",      "TStep",     "Skip",      "Power",        "Comment",    "URCALL",
    "RPT1CALL",  "RPT2CALL",  "DVCODE",    "BCL",          "Scrambler"};

constexpr std::int64_t kNanoPerUnit = 10000;                 // one 10 Hz unit in nano-MHz
constexpr FreqUnits kMaxPlusMinusOffset = 70 * kUnitsPerMHz; // beyond this a list says "split"
constexpr int kPowerMilliwatts[] = {1000, 2500, 5000};       // Low, Mid, High

std::string_view trim(std::string_view s)
{
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

char lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool same(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lower(x) == lower(y);
           });
}

// "146.96000": an exact value in nano-MHz shown with five decimals, as the grid shows a
// frequency, or more where the value has them.
std::string nanoText(std::int64_t nano)
{
    if (nano < 0)
        return "-" + nanoText(-nano);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%lld.%09lld", static_cast<long long>(nano / DecimalValue::kScale),
                  static_cast<long long>(nano % DecimalValue::kScale));
    std::string text = buf;
    while (text.size() > text.find('.') + 6 && text.back() == '0')
        text.pop_back();
    return text;
}

std::string units6(FreqUnits units)
{
    return FormatFreq(units) + "0";
}

// ----- tones -----

std::string ctcssText(int tenths)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d.%d", tenths / 10, tenths % 10);
    return buf;
}

std::string dcsText(int code)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%03d", code);
    return buf;
}

std::optional<Tone> parseCtcss(std::string_view text)
{
    const auto value = WholeNumber(text);
    constexpr std::int64_t kNanoPerTenth = DecimalValue::kScale / 10;
    if (!value || value->negative || value->sticky || value->nano % kNanoPerTenth != 0 ||
        value->nano / kNanoPerTenth > 100000)
        return std::nullopt;
    const Tone tone = Tone::Ctcss(static_cast<int>(value->nano / kNanoPerTenth));
    return IsListedTone(tone) ? std::optional(tone) : std::nullopt;
}

std::optional<Tone> parseDcs(std::string_view text, char polarity)
{
    if (text.empty() || text.size() > 3)
        return std::nullopt;
    int code = 0;
    for (const char c : text) {
        if (c < '0' || c > '7')
            return std::nullopt;
        code = code * 10 + (c - '0');
    }
    const Tone tone = Tone::Dcs(code, lower(polarity) == 'r' ? DcsPolarity::Inverted : DcsPolarity::Normal);
    return IsListedTone(tone) ? std::optional(tone) : std::nullopt;
}

// ----- reading one row -----

// A reason to skip a row, or a remark on a row that is kept.
struct Finding {
    ListNote note;
    std::string value;
    std::string detail;
    std::string bandEnd{};
};

class RowReader {
public:
    RowReader(const std::vector<std::string> &cells, const std::array<int, kColumnCount> &index, const Band &band,
              bool decimalComma)
        : cells_(cells), index_(index), band_(band), decimalComma_(decimalComma)
    {
    }

    // The trimmed cell; empty when the column is missing.
    std::string_view get(Column c) const
    {
        const int i = index_[static_cast<std::size_t>(c)];
        return i < 0 || static_cast<std::size_t>(i) >= cells_.size() ? std::string_view{}
                                                                      : trim(cells_[static_cast<std::size_t>(i)]);
    }
    // The cell, or the default when it is missing or empty.
    std::string_view get(Column c, std::string_view fallback) const
    {
        const std::string_view v = get(c);
        return v.empty() ? fallback : v;
    }

    // A number cell as the number reader takes it. Where cells are not split at commas, a
    // spreadsheet in many locales writes a decimal comma: one comma and no point is that. A
    // comma beside a point, or a second comma, is a thousands separator, and the cell stays a
    // bad value.
    std::string number(std::string_view cell) const
    {
        std::string text(cell);
        if (decimalComma_ && std::count(text.begin(), text.end(), ',') == 1 && text.find('.') == std::string::npos)
            text[text.find(',')] = '.';
        return text;
    }

    // The channel, or why the row is skipped. Rounding remarks collect in remarks.
    std::optional<Finding> read(ChannelValue &channel, std::vector<Finding> &remarks) const
    {
        const std::string_view freqCell = get(kFrequency);
        const auto rxValue = WholeNumber(number(freqCell));
        if (!rxValue)
            return Finding{ListNote::BadFrequency, std::string(freqCell), {}};
        const std::int64_t rxNano = rxValue->negative ? -rxValue->nano : rxValue->nano;
        const auto rx = checkFrequency(rxNano, rxValue->sticky);
        if (!rx)
            return outOfBand(ListNote::RxOutOfBand, ListNote::RxAboveBand, rxNano);
        channel.rx = rx->units;
        if (rx->rounded)
            remarks.push_back({ListNote::RxRounded, nanoText(rxNano), FormatFreq(rx->units)});

        if (auto skip = readTransmit(channel, rxNano, remarks))
            return skip;
        if (auto skip = readTones(channel))
            return skip;
        if (!channel.tx)
            channel.encode = Tone{}; // nothing to send it with

        const std::string_view mode = get(kMode, "FM");
        if (same(mode, "FM") || same(mode, "NFM"))
            channel.wide = same(mode, "FM");
        else
            return Finding{ListNote::BadMode, std::string(mode), {}};

        const std::string_view skip = get(kSkip);
        if (same(skip, "S") || same(skip, "P") || skip.empty())
            channel.scan = !same(skip, "S");
        else
            return Finding{ListNote::BadSkip, std::string(skip), {}};

        const std::string_view power = get(kPower);
        if (const auto level = parsePower(number(power)))
            channel.power = *level;
        else
            return Finding{ListNote::BadPower, std::string(power), {}};

        const std::string_view bcl = get(kBcl, "Off");
        if (same(bcl, "Off") || same(bcl, "Carrier") || same(bcl, "QT/DQT"))
            channel.busyLock = same(bcl, "Off")       ? BusyLock::Off
                              : same(bcl, "Carrier") ? BusyLock::Carrier
                                                     : BusyLock::QtDqt;
        else
            return Finding{ListNote::BadBcl, std::string(bcl), {}};

        const std::string_view scrambler = get(kScrambler, "Off");
        if (same(scrambler, "Off") || same(scrambler, "On"))
            channel.scrambler = same(scrambler, "On");
        else
            return Finding{ListNote::BadScrambler, std::string(scrambler), {}};
        return std::nullopt;
    }

private:
    // A frequency outside the band: below it, or at its upper limit (which is no channel) or above.
    Finding outOfBand(ListNote below, ListNote above, std::int64_t nano) const
    {
        const bool isAbove = nano >= static_cast<std::int64_t>(band_.high) * DecimalValue::kScale;
        return Finding{isAbove ? above : below, nanoText(nano), band_.text,
                       isAbove ? std::to_string(band_.high) : std::string()};
    }

    struct Checked {
        FreqUnits units;
        bool rounded;
    };

    // The value typing stores for an exact frequency (nano-MHz), or nothing when typing
    // would find it outside the band.
    std::optional<Checked> checkFrequency(std::int64_t nano, bool sticky) const
    {
        if (nano <= 0)
            return std::nullopt;
        const RoundedFrequency typed = RoundFrequencyText(nanoText(nano), band_);
        if (typed.outOfRange)
            return std::nullopt;
        const FreqUnits units = MHzToUnits(*WholeNumber(typed.text), Tie::Up);
        return Checked{units, sticky || nano != units * kNanoPerUnit};
    }

    std::optional<Finding> readTransmit(ChannelValue &channel, std::int64_t rxNano,
                                     std::vector<Finding> &remarks) const
    {
        const std::string_view duplex = get(kDuplex);
        if (same(duplex, "off")) {
            channel.tx.reset();
            return std::nullopt;
        }
        if (duplex.empty()) {
            channel.tx = channel.rx;
            return std::nullopt;
        }
        const bool split = same(duplex, "split");
        if (!split && duplex != "+" && duplex != "-")
            return Finding{ListNote::BadDuplex, std::string(duplex), {}};
        const std::string_view offsetCell = get(kOffset, split ? "" : "0");
        const auto offset = WholeNumber(number(offsetCell));
        if (!offset)
            return Finding{ListNote::BadOffset, std::string(offsetCell), {}};
        const std::int64_t offsetNano = offset->negative ? -offset->nano : offset->nano;
        const std::int64_t txNano = split ? offsetNano : duplex == "+" ? rxNano + offsetNano : rxNano - offsetNano;
        const auto tx = checkFrequency(txNano, offset->sticky);
        if (!tx)
            return outOfBand(ListNote::TxOutOfBand, ListNote::TxAboveBand, txNano);
        channel.tx = tx->units;
        if (tx->rounded)
            remarks.push_back({ListNote::TxRounded, nanoText(txNano), FormatFreq(tx->units)});
        return std::nullopt;
    }

    std::optional<Finding> readTones(ChannelValue &channel) const
    {
        const std::string_view mode = get(kTone);
        // One of the two CTCSS columns stands for both when the other is not there.
        const std::string_view rTone = get(kRToneFreq, get(kCToneFreq, "88.5"));
        const std::string_view cTone = get(kCToneFreq, get(kRToneFreq, "88.5"));
        const std::string_view dtcs = get(kDtcsCode, "023");
        const std::string_view rxDtcs = get(kRxDtcsCode, dtcs);
        const std::string_view polarity = get(kDtcsPolarity, "NN");
        if (polarity.size() != 2 || !std::all_of(polarity.begin(), polarity.end(),
                                                 [](char c) { return lower(c) == 'n' || lower(c) == 'r'; }))
            return Finding{ListNote::BadPolarity, std::string(polarity), {}};

        std::string_view txSide;
        std::string_view rxSide;
        if (mode.empty()) {
        } else if (same(mode, "Tone")) {
            txSide = "Tone";
        } else if (same(mode, "TSQL")) {
            txSide = rxSide = "TSQL";
        } else if (same(mode, "DTCS")) {
            txSide = rxSide = "DTCS";
        } else if (same(mode, "Cross")) {
            const std::string_view cross = get(kCrossMode, "Tone->Tone");
            const auto arrow = cross.find("->");
            if (arrow == std::string_view::npos)
                return Finding{ListNote::BadCrossMode, std::string(cross), {}};
            txSide = trim(cross.substr(0, arrow));
            rxSide = trim(cross.substr(arrow + 2));
            const auto known = [](std::string_view s) { return s.empty() || same(s, "Tone") || same(s, "DTCS"); };
            if (!known(txSide) || !known(rxSide))
                return Finding{ListNote::BadCrossMode, std::string(cross), {}};
        } else {
            return Finding{ListNote::BadToneMode, std::string(mode), {}};
        }

        // TSQL takes cToneFreq both ways; in Cross the transmit tone is rToneFreq, the receive
        // tone cToneFreq, the receive code RxDtcsCode.
        const bool cross = same(mode, "Cross");
        auto side = [&](std::string_view kind, bool transmit, Tone &out) -> std::optional<Finding> {
            if (kind.empty())
                return std::nullopt;
            if (same(kind, "DTCS")) {
                const std::string_view code = transmit || !cross ? dtcs : rxDtcs;
                const auto tone = parseDcs(code, polarity[transmit ? 0 : 1]);
                if (!tone)
                    return Finding{ListNote::BadDcs, std::string(code), {}};
                out = *tone;
                return std::nullopt;
            }
            const std::string_view freq = same(kind, "TSQL") || !transmit ? cTone : rTone;
            const auto tone = parseCtcss(number(freq));
            if (!tone)
                return Finding{ListNote::BadCtcss, std::string(freq), {}};
            out = *tone;
            return std::nullopt;
        };
        if (auto skip = side(txSide, true, channel.encode))
            return skip;
        return side(rxSide, false, channel.decode);
    }

    static std::optional<TxPower> parsePower(std::string_view text)
    {
        if (text.empty() || same(text, "High"))
            return TxPower::High;
        if (same(text, "Mid"))
            return TxPower::Mid;
        if (same(text, "Low"))
            return TxPower::Low;
        if (lower(text.back()) != 'w')
            return std::nullopt;
        const auto watts = WholeNumber(trim(text.substr(0, text.size() - 1)));
        if (!watts || watts->negative)
            return std::nullopt;
        // The nearest level; a tie goes to the lower one.
        const std::int64_t milli = watts->nano / 1000000;
        int best = 0;
        for (int level = 1; level < 3; ++level) {
            if (std::llabs(milli - kPowerMilliwatts[level]) < std::llabs(milli - kPowerMilliwatts[best]))
                best = level;
        }
        return static_cast<TxPower>(best);
    }

    const std::vector<std::string> &cells_;
    const std::array<int, kColumnCount> &index_;
    const Band &band_;
    bool decimalComma_;
};

// How many cells of the line, split at the delimiter, name a column we know.
int knownColumnNames(std::string_view line, char delimiter)
{
    const CsvTable table = ReadCsv(line, delimiter);
    if (!table.ok())
        return 0;
    return static_cast<int>(std::count_if(table.records.front().cells.begin(), table.records.front().cells.end(),
                                          [](const std::string &cell) {
                                              return std::any_of(kColumnNames.begin(), kColumnNames.end(),
                                                                 [&](std::string_view name) {
                                                                     return same(trim(cell), name);
                                                                 });
                                          }));
}

// The delimiter that splits the header line into the most column names we know: ',' as the
// shared format has it, ';' from a spreadsheet in a locale with a decimal comma, or a tab from
// a spreadsheet's text export or clipboard. The preferred one wins a tie.
char findDelimiter(std::string_view text, char preferred)
{
    const std::string_view header = CsvFirstLine(text);
    // A header past the record limit is refused when the list is read.
    if (header.size() > kMaxCsvRecordBytes)
        return preferred;
    char best = preferred;
    int most = knownColumnNames(header, preferred);
    for (const char delimiter : {',', ';', '\t'}) {
        if (delimiter == preferred)
            continue;
        if (const int n = knownColumnNames(header, delimiter); n > most) {
            best = delimiter;
            most = n;
        }
    }
    return best;
}

// Location 1..128 written as a whole number.
std::optional<int> parseLocation(std::string_view text)
{
    if (text.empty() || text.size() > 3 || !std::all_of(text.begin(), text.end(), [](char c) {
            return c >= '0' && c <= '9';
        }))
        return std::nullopt;
    const int n = std::stoi(std::string(text));
    return n >= 1 && n <= kChannelCount ? std::optional(n) : std::nullopt;
}

// ----- writing -----

std::string quoted(std::string_view cell, char delimiter)
{
    if (cell.find_first_of(std::string{delimiter, '"', '\r', '\n'}) == std::string_view::npos)
        return std::string(cell);
    std::string out = "\"";
    for (const char c : cell) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + "\"";
}

void appendLine(std::string &out, const std::array<std::string, kColumnCount> &cells, char delimiter)
{
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0)
            out += delimiter;
        out += quoted(cells[i], delimiter);
    }
    out += "\r\n";
}

char polarityLetter(const Tone &tone)
{
    return tone.polarity == DcsPolarity::Inverted ? 'R' : 'N';
}

// The cells of a channel in use (value.rx set).
std::array<std::string, kColumnCount> rowCells(int number, const ChannelValue &value)
{
    std::array<std::string, kColumnCount> cells;
    const FreqUnits rx = *value.rx;
    cells[kLocation] = std::to_string(number);
    cells[kFrequency] = units6(rx);
    if (!value.tx) {
        cells[kDuplex] = "off";
        cells[kOffset] = units6(0);
    } else if (*value.tx == rx) {
        cells[kOffset] = units6(0);
    } else if (std::llabs(*value.tx - rx) <= kMaxPlusMinusOffset) {
        cells[kDuplex] = *value.tx > rx ? "+" : "-";
        cells[kOffset] = units6(std::llabs(*value.tx - rx));
    } else {
        cells[kDuplex] = "split";
        cells[kOffset] = units6(*value.tx);
    }

    // Tones, the reading rules backwards; columns a mode does not use keep their defaults.
    const Tone encode = value.tx ? value.encode : Tone{};
    const Tone &decode = value.decode;
    std::string rTone = "88.5", cTone = "88.5", dtcs = "023", rxDtcs = "023", cross = "Tone->Tone";
    char txPolarity = 'N', rxPolarity = 'N';
    if (encode.kind == ToneKind::None && decode.kind == ToneKind::None) {
    } else if (encode.kind == ToneKind::Ctcss && decode.kind == ToneKind::None) {
        cells[kTone] = "Tone";
        rTone = ctcssText(encode.code);
    } else if (encode.kind == ToneKind::Ctcss && encode == decode) {
        cells[kTone] = "TSQL";
        cTone = ctcssText(decode.code);
    } else if (encode.kind == ToneKind::Dcs && decode.kind == ToneKind::Dcs && encode.code == decode.code) {
        cells[kTone] = "DTCS";
        dtcs = dcsText(encode.code);
        txPolarity = polarityLetter(encode);
        rxPolarity = polarityLetter(decode);
    } else {
        cells[kTone] = "Cross";
        auto sideName = [](const Tone &t) {
            return t.kind == ToneKind::Ctcss ? "Tone" : t.kind == ToneKind::Dcs ? "DTCS" : "";
        };
        cross = std::string(sideName(encode)) + "->" + sideName(decode);
        if (encode.kind == ToneKind::Ctcss)
            rTone = ctcssText(encode.code);
        if (encode.kind == ToneKind::Dcs) {
            dtcs = dcsText(encode.code);
            txPolarity = polarityLetter(encode);
        }
        if (decode.kind == ToneKind::Ctcss)
            cTone = ctcssText(decode.code);
        if (decode.kind == ToneKind::Dcs) {
            rxDtcs = dcsText(decode.code);
            rxPolarity = polarityLetter(decode);
        }
    }
    cells[kRToneFreq] = rTone;
    cells[kCToneFreq] = cTone;
    cells[kDtcsCode] = dtcs;
    cells[kDtcsPolarity] = std::string{txPolarity, rxPolarity};
    cells[kRxDtcsCode] = rxDtcs;
    cells[kCrossMode] = cross;

    cells[kMode] = value.wide ? "FM" : "NFM";
    cells[kTStep] = rx % 500 == 0 ? "5.00" : "6.25";
    cells[kSkip] = value.scan ? "" : "S";
    cells[kPower] = value.power == TxPower::High ? "5.0W" : value.power == TxPower::Mid ? "2.5W" : "1.0W";
    cells[kBcl] = value.busyLock == BusyLock::Off       ? "Off"
                  : value.busyLock == BusyLock::Carrier ? "Carrier"
                                                        : "QT/DQT";
    cells[kScrambler] = value.scrambler ? "On" : "Off";
    return cells;
}

std::string text(int id, LanguageMode language)
{
    return std::string(LoadText(id, language));
}

} // namespace

bool IsSkipNote(ListNote note)
{
    return note < ListNote::RxRounded;
}

int ChannelListImport::skippedRows() const
{
    return static_cast<int>(std::count_if(report.begin(), report.end(),
                                           [](const ListReportLine &l) { return IsSkipNote(l.note); }));
}

ChannelListImport ReadChannelList(std::string_view input, const Band &band, ListPlacement placement, char preferred)
{
    ChannelListImport result;
    result.byLocation = placement.firstChannel == 0;
    result.delimiter = findDelimiter(input, preferred);
    const bool decimalComma = result.delimiter != ',';
    CsvTable table = ReadCsv(input, result.delimiter);
    // Comments and nothing else: some text, but no header.
    if (table.error == CsvError::Empty && input.find_first_not_of(" \t\r\n\xEF\xBB\xBF") != std::string_view::npos) {
        result.error = ListError::NotAChannelList;
        return result;
    }
    if (!table.ok()) {
        result.error = ListError::Csv;
        result.csvError = table.error;
        result.errorLine = table.errorLine;
        return result;
    }

    const std::vector<std::string> &header = table.records.front().cells;
    std::array<int, kColumnCount> index;
    index.fill(-1);
    for (std::size_t i = 0; i < header.size(); ++i) {
        for (std::size_t c = 0; c < kColumnNames.size(); ++c) {
            if (index[c] < 0 && same(trim(header[i]), kColumnNames[c]))
                index[c] = static_cast<int>(i);
        }
    }
    if (index[kFrequency] < 0 || (result.byLocation && index[kLocation] < 0)) {
        result.error = ListError::NotAChannelList;
        return result;
    }

    // Columns the radio has no place for: those no rule reads, and repeats of a name. The
    // channel's raster follows from its frequency, so TStep is read in a sense and not named.
    std::vector<bool> unkept(header.size());
    for (std::size_t i = 0; i < header.size(); ++i) {
        const auto readBy = [&](std::size_t c) { return index[c] == static_cast<int>(i); };
        unkept[i] = !trim(header[i]).empty() && (readBy(kName) || readBy(kComment) || readBy(kUrCall) ||
                                                 readBy(kRpt1Call) || readBy(kRpt2Call) || readBy(kDvCode) ||
                                                 std::none_of(index.begin(), index.end(), [&](int at) {
                                                     return at == static_cast<int>(i);
                                                 }));
    }
    std::vector<bool> lost(header.size()); // unkept, and filled in an imported row

    std::map<int, std::pair<int, ChannelValue>> accepted; // channel -> line, channel
    int next = placement.firstChannel;
    for (std::size_t r = 1; r < table.records.size(); ++r) {
        const CsvRecord &record = table.records[r];
        const RowReader row(record.cells, index, band, decimalComma);
        ListReportLine line;
        line.line = record.line;
        auto report = [&](ListNote note, std::string value, std::string detail, std::string bandEnd = {}) {
            line.note = note;
            line.value = std::move(value);
            line.detail = std::move(detail);
            line.bandEnd = std::move(bandEnd);
            result.report.push_back(line);
        };

        int channel = 0;
        line.location = result.byLocation ? std::string(row.get(kLocation)) : std::to_string(next);
        if (record.cells.size() < header.size()) {
            report(ListNote::ShortRow, {}, {});
            if (!result.byLocation)
                ++next;
            continue;
        }
        if (result.byLocation) {
            const auto location = parseLocation(row.get(kLocation));
            if (!location) {
                report(ListNote::BadLocation, line.location, {});
                continue;
            }
            channel = *location;
        } else {
            channel = next++;
            if (channel > kChannelCount) {
                report(ListNote::NoChannelLeft, {}, {});
                continue;
            }
        }

        ChannelValue value;
        std::vector<Finding> remarks;
        if (const auto skip = row.read(value, remarks)) {
            report(skip->note, skip->value, skip->detail, skip->bandEnd);
            continue;
        }
        for (Finding &remark : remarks)
            report(remark.note, std::move(remark.value), std::move(remark.detail));
        if (const auto earlier = accepted.find(channel); earlier != accepted.end())
            report(ListNote::Replaces, std::to_string(earlier->second.first), {});
        accepted[channel] = {record.line, value};
        for (std::size_t i = 0; i < header.size(); ++i)
            lost[i] = lost[i] || (unkept[i] && !trim(record.cells[i]).empty());
    }
    for (const auto &[channel, entry] : accepted)
        result.channels.emplace_back(channel, entry.second);
    for (std::size_t i = 0; i < header.size(); ++i) {
        const std::string_view name = trim(header[i]);
        if (lost[i] && std::none_of(result.unkeptColumns.begin(), result.unkeptColumns.end(),
                                    [&](const std::string &named) { return same(named, name); }))
            result.unkeptColumns.emplace_back(name);
    }
    return result;
}

ChannelListImport ReadChannelListFile(std::string_view bytes, const Band &band, TextEncoding systemCodePage)
{
    const DecodedText text = DecodeText(bytes, systemCodePage);
    if (!text.ok()) {
        ChannelListImport result;
        result.error = ListError::Csv;
        result.csvError = text.error;
        return result;
    }
    ChannelListImport result = ReadChannelList(text.utf8, band);
    result.encoding = text.encoding;
    return result;
}

void ApplyChannelList(MemoryImage &image, const ChannelListImport &import, const Band &band)
{
    for (const auto &[channel, value] : import.channels) {
        // The record is replaced whole: the value goes into an empty channel, as typed.
        image.fill(ChannelRow(channel) * kRowSize, kRowSize, 0xFF);
        WriteChannel(image, channel, value, band);
    }
}

std::string WriteChannelList(const MemoryImage &image, const Band &band, const std::vector<int> &channels,
                             char delimiter)
{
    std::string out;
    std::array<std::string, kColumnCount> header;
    std::copy(kColumnNames.begin(), kColumnNames.end(), header.begin());
    appendLine(out, header, delimiter);
    for (const int number : channels) {
        if (const ChannelValue value = ReadChannel(image, number, band); value.rx)
            appendLine(out, rowCells(number, value), delimiter);
    }
    return out;
}

std::string WriteChannelList(const MemoryImage &image, const Band &band)
{
    std::vector<int> all(kChannelCount);
    for (int i = 0; i < kChannelCount; ++i)
        all[static_cast<std::size_t>(i)] = i + 1;
    return WriteChannelList(image, band, all);
}

std::string ListReportLineText(const ListReportLine &line, LanguageMode language)
{
    int id = 0;
    switch (line.note) {
    case ListNote::ShortRow: id = text_id::kSkippedShortRow; break;
    case ListNote::BadLocation: id = text_id::kSkippedBadLocation; break;
    case ListNote::NoChannelLeft: id = text_id::kSkippedNoChannelLeft; break;
    case ListNote::BadFrequency: id = text_id::kSkippedBadFrequency; break;
    case ListNote::RxOutOfBand: id = text_id::kSkippedRxOutOfBand; break;
    case ListNote::RxAboveBand: id = text_id::kSkippedRxAboveBand; break;
    case ListNote::BadDuplex: id = text_id::kSkippedBadDuplex; break;
    case ListNote::BadOffset: id = text_id::kSkippedBadOffset; break;
    case ListNote::TxOutOfBand: id = text_id::kSkippedTxOutOfBand; break;
    case ListNote::TxAboveBand: id = text_id::kSkippedTxAboveBand; break;
    case ListNote::BadToneMode: id = text_id::kSkippedBadToneMode; break;
    case ListNote::BadCtcss: id = text_id::kSkippedBadCtcss; break;
    case ListNote::BadDcs: id = text_id::kSkippedBadDcs; break;
    case ListNote::BadPolarity: id = text_id::kSkippedBadPolarity; break;
    case ListNote::BadCrossMode: id = text_id::kSkippedBadCrossMode; break;
    case ListNote::BadMode: id = text_id::kSkippedBadMode; break;
    case ListNote::BadSkip: id = text_id::kSkippedBadSkip; break;
    case ListNote::BadPower: id = text_id::kSkippedBadPower; break;
    case ListNote::BadBcl: id = text_id::kSkippedBadBcl; break;
    case ListNote::BadScrambler: id = text_id::kSkippedBadScrambler; break;
    case ListNote::RxRounded: id = text_id::kRxRounded; break;
    case ListNote::TxRounded: id = text_id::kTxRounded; break;
    case ListNote::Replaces: id = text_id::kReplacesRow; break;
    }
    const std::string reason = FillText(LoadText(id, language), {line.value, line.detail, line.bandEnd});
    return FillText(LoadText(text_id::kImportNoteAt, language), {line.location, std::to_string(line.line), reason});
}

std::string ListErrorText(const ChannelListImport &import, LanguageMode language)
{
    if (import.error == ListError::NotAChannelList)
        return text(import.byLocation ? text_id::kFileNotChannelList : text_id::kTextNotChannelList, language);
    const std::string line = std::to_string(import.errorLine);
    switch (import.csvError) {
    case CsvError::Empty: return text(text_id::kFileEmpty, language);
    case CsvError::Binary: return text(text_id::kFileNotText, language);
    case CsvError::NotUtf8: return text(text_id::kFileNotUtf8, language);
    case CsvError::NoKnownEncoding: return text(text_id::kFileInNoKnownEncoding, language);
    case CsvError::TooLarge:
    case CsvError::TooManyRecords: return text(text_id::kFileTooLargeForList, language);
    case CsvError::RecordTooLong: return FillText(LoadText(text_id::kLineTooLong, language), {line});
    case CsvError::TooManyColumns: return FillText(LoadText(text_id::kLineTooManyColumns, language), {line});
    case CsvError::UnclosedQuote: return FillText(LoadText(text_id::kQuoteNotClosed, language), {line});
    case CsvError::None: break;
    }
    return {};
}

std::string ListSummaryText(const ChannelListImport &import, LanguageMode language)
{
    if (import.channels.empty())
        return text(text_id::kNoChannelImported, language);
    if (import.channels.size() == 1)
        return text(text_id::kOneChannelImported, language);
    return FillText(LoadText(text_id::kChannelsImported, language), {std::to_string(import.channels.size())});
}

std::vector<std::string> ListImportNotes(const ChannelListImport &import, LanguageMode language)
{
    std::vector<std::string> notes;
    if (import.encoding == TextEncoding::Windows1252 || import.encoding == TextEncoding::Gbk) {
        const int page = import.encoding == TextEncoding::Gbk ? text_id::kCodePageGbk : text_id::kCodePageWindows1252;
        notes.push_back(FillText(LoadText(text_id::kListReadInCodePage, language), {text(page, language)}));
    }
    if (!import.unkeptColumns.empty()) {
        std::string columns;
        for (const std::string &name : import.unkeptColumns)
            columns += (columns.empty() ? "" : language == kChinese ? "、" : ", ") + name;
        notes.push_back(FillText(LoadText(text_id::kColumnsNotKept, language), {columns}));
    }
    return notes;
}

} // namespace zrk6
