#include "model/channel_operations.h"

#include <algorithm>
#include <cctype>
#include <array>
#include <charconv>
#include <set>

namespace zrk6 {
namespace {

using Record = std::array<std::uint8_t, kRowSize>;

Record ReadRecord(const MemoryImage &image, int channel)
{
    Record record{};
    for (int column = 0; column < kRowSize; ++column)
        record[static_cast<std::size_t>(column)] = image.at(ChannelRow(channel), column);
    return record;
}

void WriteRecord(MemoryImage &image, int channel, const Record &record)
{
    for (int column = 0; column < kRowSize; ++column)
        image.set(ChannelRow(channel), column, record[static_cast<std::size_t>(column)]);
}

// Puts the records in a new order: order[i] is the old channel that channel i+1 receives
// (0 for an empty record). The priority channel goes where its record went, or off when
// its record is gone.
ChannelOperationResult Rearrange(const MemoryImage &image, const std::array<int, kChannelCount> &order)
{
    ChannelOperationResult result{image, {}, {}, {}};
    Record empty;
    empty.fill(0xFF);
    const int priority = image.at(addr::kPriorityChannel);
    int newPriority = 0;
    for (int channel = 1; channel <= kChannelCount; ++channel) {
        const int from = order[static_cast<std::size_t>(channel - 1)];
        WriteRecord(result.image, channel, from == 0 ? empty : ReadRecord(image, from));
        if (from != 0 && from == priority)
            newPriority = channel;
        if (ReadRecord(result.image, channel) != ReadRecord(image, channel))
            result.changed.push_back(channel);
    }
    if (priority >= 1 && priority <= kChannelCount)
        result.image.set(addr::kPriorityChannel, static_cast<std::uint8_t>(newPriority));
    return result;
}

std::array<int, kChannelCount> Identity()
{
    std::array<int, kChannelCount> order{};
    for (int i = 0; i < kChannelCount; ++i)
        order[static_cast<std::size_t>(i)] = i + 1;
    return order;
}

std::vector<int> AllChannels()
{
    std::vector<int> all(kChannelCount);
    for (int i = 0; i < kChannelCount; ++i)
        all[static_cast<std::size_t>(i)] = i + 1;
    return all;
}

ChannelOperationResult Refused(const MemoryImage &image, std::string why)
{
    return {image, {}, {}, std::move(why)};
}

std::optional<int> Number(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// A tone's place in the tone list: None first, then the CTCSS tones, then the DCS codes.
int ToneOrder(const Tone &tone)
{
    switch (tone.kind) {
    case ToneKind::None:
        return 0;
    case ToneKind::Ctcss:
        return 1 + tone.code;
    case ToneKind::Dcs:
        return 100000 + tone.code * 2 + (tone.polarity == DcsPolarity::Inverted ? 1 : 0);
    }
    return 0;
}

} // namespace

ChannelListParse ParseChannelList(std::string_view text)
{
    ChannelListParse result;
    if (text.find_first_not_of(' ') == std::string_view::npos) {
        result.channels = AllChannels();
        return result;
    }
    std::set<int> chosen;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view part = text.substr(0, comma);
        const std::size_t dash = part.find('-');
        const auto first = Number(part.substr(0, dash));
        const auto last = dash == std::string_view::npos ? first : Number(part.substr(dash + 1));
        if (!first || !last) {
            result.error = "'" + std::string(part) + "' is not a channel number or a range like 1-20";
            return result;
        }
        if (*first < 1 || *last > kChannelCount || *first > kChannelCount || *last < 1) {
            result.error = "'" + std::string(part) + "': channels are numbered 1 to 128";
            return result;
        }
        if (*first > *last) {
            result.error = "'" + std::string(part) + "': the range runs the wrong way round";
            return result;
        }
        for (int channel = *first; channel <= *last; ++channel)
            chosen.insert(channel);
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    result.channels.assign(chosen.begin(), chosen.end());
    return result;
}

ChannelOperationResult ChangeChannels(const MemoryImage &image, const Band &band, const std::vector<int> &channels,
                                      const ChannelChange &change)
{
    ChannelOperationResult result{image, {}, {}, {}};
    for (int channel : channels) {
        if (!IsChannelInUse(image, channel, band))
            continue;
        ChannelValue value = ReadChannel(image, channel, band);
        if (change.receiveOnly) {
            value.tx.reset();
            value.encode = Tone{};
        } else if (change.offset) {
            // RX plus the offset exactly: rounding it to a raster would make a simplex channel split.
            const FreqUnits tx = *value.rx + *change.offset;
            if (tx < static_cast<FreqUnits>(band.low) * kUnitsPerMHz ||
                tx > static_cast<FreqUnits>(band.high) * kUnitsPerMHz) {
                result.leftAlone.push_back(channel);
                continue;
            }
            value.tx = tx;
        }
        if (change.decode)
            value.decode = *change.decode;
        if (change.encode) {
            if (!value.tx && change.encode->kind != ToneKind::None) {
                result.leftAlone.push_back(channel);
                continue;
            }
            value.encode = *change.encode;
        }
        if (change.wide)
            value.wide = *change.wide;
        if (change.scan)
            value.scan = *change.scan;
        if (change.power)
            value.power = *change.power;
        if (change.busyLock)
            value.busyLock = *change.busyLock;
        if (change.scrambler)
            value.scrambler = *change.scrambler;
        const Record before = ReadRecord(result.image, channel);
        WriteChannel(result.image, channel, value, band);
        if (change.offset == 0 && !change.receiveOnly) {
            // Simplex: the transmit frequency is RX's own bytes.
            const int row = ChannelRow(channel);
            for (int i = 0; i < 4; ++i)
                result.image.set(row, 4 + i, result.image.at(row, i));
        }
        if (ReadRecord(result.image, channel) != before)
            result.changed.push_back(channel);
    }
    return result;
}

ChannelOperationResult SortChannels(const MemoryImage &image, const Band &band, const std::vector<int> &channels,
                                    SortKey key, bool descending)
{
    const std::vector<int> positions = channels.empty() ? AllChannels() : channels;
    std::vector<int> inUse;
    std::vector<int> unused;
    for (int channel : positions)
        (IsChannelInUse(image, channel, band) ? inUse : unused).push_back(channel);

    // The key, with "has no value" (receive only) kept apart so it sorts last either way.
    const auto keyOf = [&](int channel) -> std::pair<bool, std::int64_t> {
        const ChannelValue v = ReadChannel(image, channel, band);
        switch (key) {
        case SortKey::RxFreq:
            return {false, *v.rx};
        case SortKey::TxFreq:
            return {!v.tx.has_value(), v.tx.value_or(0)};
        case SortKey::Decode:
            return {false, ToneOrder(v.decode)};
        case SortKey::Encode:
            return {false, ToneOrder(v.encode)};
        case SortKey::TxPower:
            return {false, static_cast<std::int64_t>(v.power)};
        }
        return {false, 0};
    };
    // Each channel's key once, then a stable sort on it.
    std::vector<std::pair<std::pair<bool, std::int64_t>, int>> keyed;
    for (int channel : inUse)
        keyed.push_back({keyOf(channel), channel});
    std::stable_sort(keyed.begin(), keyed.end(), [descending](const auto &a, const auto &b) {
        if (a.first.first != b.first.first)
            return !a.first.first;
        return descending ? a.first.second > b.first.second : a.first.second < b.first.second;
    });
    for (std::size_t i = 0; i < keyed.size(); ++i)
        inUse[i] = keyed[i].second;
    std::array<int, kChannelCount> order = Identity();
    std::size_t next = 0;
    for (int channel : inUse)
        order[static_cast<std::size_t>(positions[next++] - 1)] = channel;
    for (int channel : unused)
        order[static_cast<std::size_t>(positions[next++] - 1)] = channel;
    return Rearrange(image, order);
}

ChannelOperationResult MoveChannels(const MemoryImage &image, const std::vector<int> &channels, bool up)
{
    std::set<int> selected(channels.begin(), channels.end());
    if (selected.empty())
        return {image, {}, {}, {}};
    if (up ? *selected.begin() <= 1 : *selected.rbegin() >= kChannelCount)
        return Refused(image, up ? "channel 1 cannot move up" : "channel 128 cannot move down");
    std::array<int, kChannelCount> order = Identity();
    // Each selected channel swaps with its neighbour; walking away from the direction of
    // travel lets a run of selected channels move as one block.
    const auto swap = [&order](int a, int b) {
        std::swap(order[static_cast<std::size_t>(a - 1)], order[static_cast<std::size_t>(b - 1)]);
    };
    if (up) {
        for (int channel : selected)
            swap(channel, channel - 1);
    } else {
        for (auto it = selected.rbegin(); it != selected.rend(); ++it)
            swap(*it, *it + 1);
    }
    return Rearrange(image, order);
}

ChannelOperationResult CompactChannels(const MemoryImage &image, const Band &band)
{
    std::array<int, kChannelCount> order{};
    std::size_t next = 0;
    for (int pass = 0; pass < 2; ++pass) {
        for (int channel = 1; channel <= kChannelCount; ++channel) {
            if (IsChannelInUse(image, channel, band) == (pass == 0))
                order[next++] = channel;
        }
    }
    return Rearrange(image, order);
}

ChannelOperationResult InsertEmptyChannels(const MemoryImage &image, const Band &band, int at, int count)
{
    if (at < 1 || at > kChannelCount || count < 1 || count > kChannelCount - at + 1)
        return Refused(image, "there is no room for " + std::to_string(count) + " channels before channel " +
                                  std::to_string(at));
    for (int channel = kChannelCount - count + 1; channel <= kChannelCount; ++channel) {
        if (channel >= at && IsChannelInUse(image, channel, band))
            return Refused(image, "channel " + std::to_string(channel) + " is in use and would be pushed past 128");
    }
    std::array<int, kChannelCount> order{};
    for (int channel = 1; channel <= kChannelCount; ++channel) {
        int from = channel;
        if (channel >= at)
            from = channel < at + count ? 0 : channel - count;
        order[static_cast<std::size_t>(channel - 1)] = from;
    }
    return Rearrange(image, order);
}

ChannelOperationResult DeleteChannels(const MemoryImage &image, const std::vector<int> &channels)
{
    const std::set<int> gone(channels.begin(), channels.end());
    std::array<int, kChannelCount> order{};
    std::size_t next = 0;
    for (int channel = 1; channel <= kChannelCount; ++channel) {
        if (gone.count(channel) == 0)
            order[next++] = channel;
    }
    return Rearrange(image, order);
}

std::vector<std::vector<int>> FindDuplicateChannels(const MemoryImage &image, const Band &band)
{
    std::vector<std::vector<int>> groups;
    std::vector<ChannelValue> firsts;
    for (int channel = 1; channel <= kChannelCount; ++channel) {
        if (!IsChannelInUse(image, channel, band))
            continue;
        const ChannelValue v = ReadChannel(image, channel, band);
        const auto same = [&v](const ChannelValue &o) {
            return o.rx == v.rx && o.tx == v.tx && o.decode == v.decode && o.encode == v.encode;
        };
        const auto it = std::find_if(firsts.begin(), firsts.end(), same);
        if (it == firsts.end()) {
            firsts.push_back(v);
            groups.push_back({channel});
        } else {
            groups[static_cast<std::size_t>(it - firsts.begin())].push_back(channel);
        }
    }
    std::erase_if(groups, [](const std::vector<int> &g) { return g.size() < 2; });
    return groups;
}

std::optional<FindTarget> ParseFindText(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (text.empty())
        return std::nullopt;
    FindTarget target;
    target.frequency = ParseFreqText(text);
    if (target.frequency && text.find_first_not_of("0123456789.") == std::string_view::npos)
        target.frequencyPrefix = std::string(text);
    if (target.frequency) {
        // 10 Hz units: a whole number of tenths of a hertz is a CTCSS candidate.
        constexpr FreqUnits kUnitsPerTenth = 10000;
        if (*target.frequency % kUnitsPerTenth == 0) {
            const Tone ctcss = Tone::Ctcss(static_cast<int>(*target.frequency / kUnitsPerTenth));
            if (IsListedTone(ctcss))
                target.tone = ctcss;
        }
        if (*target.frequency == 0)
            target.frequency.reset();
    } else {
        std::string upper(text);
        std::transform(upper.begin(), upper.end(), upper.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        if (const std::optional<Tone> tone = ToneFromText(upper); tone && tone->kind != ToneKind::None)
            target.tone = tone;
    }
    if (!target.frequency && !target.tone)
        return std::nullopt;
    return target;
}

std::optional<ChannelCell> FindNextCell(const MemoryImage &image, const Band &band, const FindTarget &target,
                                        int channel, ChannelColumn column)
{
    constexpr int kSearched = 4; // RX, TX, decode, encode
    const int start = (std::clamp(channel, 1, kChannelCount) - 1) * kSearched +
                      std::clamp(static_cast<int>(column), 0, kSearched - 1);
    const int cells = kChannelCount * kSearched;
    for (int step = 1; step <= cells; ++step) {
        const int cell = (start + step) % cells;
        const int n = cell / kSearched + 1;
        if (!IsChannelInUse(image, n, band))
            continue;
        const ChannelValue v = ReadChannel(image, n, band);
        const auto c = static_cast<ChannelColumn>(cell % kSearched);
        auto matches = [&target](const std::optional<FreqUnits> &frequency) {
            if (!frequency)
                return false;
            if (frequency == target.frequency)
                return true;
            return !target.frequencyPrefix.empty() && FormatFreq(*frequency).starts_with(target.frequencyPrefix);
        };
        bool found = false;
        switch (c) {
        case ChannelColumn::RxFreq: found = matches(v.rx); break;
        case ChannelColumn::TxFreq: found = matches(v.tx); break;
        case ChannelColumn::Decode: found = target.tone && v.decode == *target.tone; break;
        case ChannelColumn::Encode: found = target.tone && v.tx && v.encode == *target.tone; break;
        default: break;
        }
        if (found)
            return ChannelCell{n, c};
    }
    return std::nullopt;
}

} // namespace zrk6
