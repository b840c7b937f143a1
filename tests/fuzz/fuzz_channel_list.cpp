// Fuzzes the CSV reader and the channel-list layer with arbitrary text, and the export with
// arbitrary images: nothing crashes, and what export writes reads back to the same channels.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "files/channel_list.h"
#include "files/csv_reader.h"
#include "files/text_decoding.h"
#include "model/band.h"
#include "model/channel_record.h"

using namespace zrk6;

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// A frequency typing keeps as it is. Others (off the raster, or the band's upper limit itself,
// which only rounding reaches) are rounded or refused on the way back, as typing them would be.
bool typable(FreqUnits units, const Band &band)
{
    const RoundedFrequency typed = RoundFrequencyText(FormatFreq(units), band);
    return !typed.outOfRange && typed.text == FormatFreq(units);
}

// Every channel the image holds comes back from its own export, unchanged.
void checkRoundTrip(const MemoryImage &image, const Band &band)
{
    const ChannelListImport back = ReadChannelList(WriteChannelList(image, band), band);
    Check(back.ok());
    std::size_t k = 0;
    for (int channel = 1; channel <= kChannelCount; ++channel) {
        const ChannelValue c = ReadChannel(image, channel, band);
        if (!c.rx || !typable(*c.rx, band) || (c.tx && !typable(*c.tx, band)))
            continue;
        while (k < back.channels.size() && back.channels[k].first < channel)
            ++k;
        Check(k < back.channels.size() && back.channels[k].first == channel && back.channels[k].second == c);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const Band band = BandFromRow(data[0] % kBandCount);
    const std::string_view text(reinterpret_cast<const char *>(data) + 1, size - 1);

    const char delimiter = (data[0] & 0x80) ? '\t' : (data[0] & 0x20) ? ';' : ',';
    const CsvTable table = ReadCsv(text, delimiter);
    Check(table.ok() ? !table.records.empty() && table.records.size() <= kMaxCsvRecords : table.records.empty());
    for (const CsvRecord &r : table.records)
        Check(r.cells.size() <= kMaxCsvColumns && r.line >= 1);

    const ListPlacement placement = (data[0] & 0x40) ? ListPlacement::from(1 + data[0] % kChannelCount)
                                                     : ListPlacement::byLocation();
    const ChannelListImport import = ReadChannelList(text, band, placement, delimiter);
    Check(import.ok() || import.channels.empty());
    Check(import.delimiter == ',' || import.delimiter == ';' || import.delimiter == '\t');
    for (const ListReportLine &line : import.report)
        Check(!ListReportLineText(line, kEnglish).empty());
    if (!import.ok())
        Check(!ListErrorText(import, kChinese).empty());

    // The same bytes as a file: decoded in some encoding or refused, never half read.
    const TextEncoding system = (data[0] & 0x10) ? TextEncoding::Gbk : TextEncoding::Windows1252;
    const DecodedText decoded = DecodeText(text, system);
    Check(decoded.ok() ? IsValidUtf8(decoded.utf8) && !HasBinaryBytes(decoded.utf8) : decoded.utf8.empty());
    const ChannelListImport file = ReadChannelListFile(text, band, system);
    Check(file.ok() || file.channels.empty());
    Check(file.ok() ? file.encoding == decoded.encoding : !ListErrorText(file, kEnglish).empty());
    for (const std::string &note : ListImportNotes(file, kChinese))
        Check(!note.empty());

    // Whatever was imported is stored as read, and survives export and import again.
    MemoryImage image = StartupImage(band);
    ApplyChannelList(image, import, band);
    for (const auto &[channel, c] : import.channels) {
        Check(ReadChannel(image, channel, band) == c);
    }
    checkRoundTrip(image, band);

    // Any image at all (the input, repeated) exports to a list that reads back the same.
    MemoryImage raw;
    for (int a = 0; a < kImageSize; ++a)
        raw.set(a, data[static_cast<std::size_t>(a) % size]);
    checkRoundTrip(raw, band);
    return 0;
}
