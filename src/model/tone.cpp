#include "model/tone.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "text/text_ids.h"

namespace zrk6 {
namespace {

// CTCSS tones in tenths of a hertz, in list order.
constexpr std::array<int, kCtcssCount> kCtcss{
    670,  693,  719,  744,  770,  797,  825,  854,  885,  915,  948,  974,  1000, 1035, 1072, 1109, 1148,
    1188, 1230, 1273, 1318, 1365, 1413, 1462, 1514, 1567, 1598, 1622, 1655, 1679, 1713, 1738, 1773, 1799,
    1835, 1862, 1899, 1928, 1966, 1995, 2035, 2065, 2107, 2181, 2257, 2291, 2336, 2418, 2503, 2541};

// DCS codes as octal digit triples written in decimal, in list order.
constexpr std::array<int, kDcsCount> kDcs{
    23,  25,  26,  31,  32,  36,  43,  47,  51,  53,  54,  65,  71,  72,  73,  74,  114, 115, 116, 122, 125,
    131, 132, 134, 143, 145, 152, 155, 156, 162, 165, 172, 174, 205, 212, 223, 225, 226, 243, 244, 245, 246,
    251, 252, 255, 261, 263, 265, 266, 271, 274, 306, 311, 315, 325, 331, 332, 343, 346, 351, 356, 364, 365,
    371, 411, 412, 413, 423, 431, 432, 445, 446, 452, 454, 455, 462, 464, 465, 466, 503, 506, 516, 523, 526,
    532, 546, 565, 606, 612, 624, 627, 631, 632, 645, 654, 662, 664, 703, 712, 723, 731, 732, 734, 743, 754};

std::string ctcssText(int tenths)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d.%d", tenths / 10, tenths % 10);
    return buf;
}

std::string dcsText(int code, char polarity)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "D%03d%c", code, polarity);
    return buf;
}

bool isListedCtcss(int tenths)
{
    return std::find(kCtcss.begin(), kCtcss.end(), tenths) != kCtcss.end();
}

bool isListedDcs(int code)
{
    return std::find(kDcs.begin(), kDcs.end(), code) != kDcs.end();
}

int digit(std::string_view text, std::size_t position)
{
    if (position >= text.size())
        return 0;
    const char c = text[position];
    return (c >= '0' && c <= '9') ? c - '0' : 0;
}

} // namespace

std::vector<std::string> BuildToneList(LanguageMode language)
{
    std::vector<std::string> list;
    list.reserve(kToneCount);
    list.emplace_back(LoadText(text_id::kNone, language));
    for (int tenths : kCtcss)
        list.push_back(ctcssText(tenths));
    for (char polarity : {'N', 'I'}) {
        for (int code : kDcs)
            list.push_back(dcsText(code, polarity));
    }
    return list;
}

Tone DecodeTone(ToneBytes bytes)
{
    const std::uint8_t low = bytes.low;
    const std::uint8_t high = bytes.high;
    if (high == 0xFF || (low == 0x00 && high == 0x00))
        return {};
    switch (high >> 6) {
    case 0: {
        // Leading decimal digits of the four nibbles, in tenths of a hertz.
        int tenths = 0;
        for (const int nibble : {high >> 4, high & 0x0F, low >> 4, low & 0x0F}) {
            if (nibble > 9)
                break;
            tenths = tenths * 10 + nibble;
        }
        return isListedCtcss(tenths) ? Tone::Ctcss(tenths) : Tone{};
    }
    case 2:
    case 3: {
        const int x = high & 0x0F;
        const int y = low >> 4;
        const int z = low & 0x0F;
        // Nibbles above 7 are not octal digits and so never name a listed code.
        if (x > 9 || y > 9 || z > 9)
            return {};
        const int code = x * 100 + y * 10 + z;
        if (!isListedDcs(code))
            return {};
        return Tone::Dcs(code, (high >> 6) == 2 ? DcsPolarity::Normal : DcsPolarity::Inverted);
    }
    default:
        return {};
    }
}

bool IsListedTone(const Tone &tone)
{
    switch (tone.kind) {
    case ToneKind::None:
        return true;
    case ToneKind::Ctcss:
        return isListedCtcss(tone.code);
    case ToneKind::Dcs:
        return isListedDcs(tone.code);
    }
    return false;
}

ToneBytes EncodeTone(const Tone &tone)
{
    if (!IsListedTone(tone) || tone.kind == ToneKind::None)
        return {0xFF, 0xFF};
    const auto bcd = [](int twoDigits) { return static_cast<std::uint8_t>((twoDigits / 10) * 16 + twoDigits % 10); };
    if (tone.kind == ToneKind::Ctcss)
        return {bcd(tone.code % 100), bcd(tone.code / 100)};
    const int polarity = tone.polarity == DcsPolarity::Normal ? 0x80 : 0xC0;
    return {bcd(tone.code % 100), static_cast<std::uint8_t>(polarity + tone.code / 100)};
}

std::string ToneText(const Tone &tone, LanguageMode language)
{
    if (tone.kind == ToneKind::None || !IsListedTone(tone))
        return std::string(LoadText(text_id::kNone, language));
    if (tone.kind == ToneKind::Ctcss)
        return ctcssText(tone.code);
    return dcsText(tone.code, tone.polarity == DcsPolarity::Normal ? 'N' : 'I');
}

std::optional<Tone> ToneFromText(std::string_view text)
{
    if (IsNoneTone(text))
        return Tone{};
    for (int tenths : kCtcss) {
        if (text == ctcssText(tenths))
            return Tone::Ctcss(tenths);
    }
    for (const DcsPolarity polarity : {DcsPolarity::Normal, DcsPolarity::Inverted}) {
        for (int code : kDcs) {
            if (text == dcsText(code, polarity == DcsPolarity::Normal ? 'N' : 'I'))
                return Tone::Dcs(code, polarity);
        }
    }
    return std::nullopt;
}

std::string ReadToneCode(std::uint8_t low, std::uint8_t high, LanguageMode language)
{
    return ToneText(DecodeTone({low, high}), language);
}

bool IsNoneTone(std::string_view text)
{
    return text == LoadText(text_id::kNone, kEnglish) || text == LoadText(text_id::kNone, kChinese);
}

ToneBytes EncodeToneText(std::string_view text)
{
    if ((!text.empty() && text.front() == 'N') || text == LoadText(text_id::kNone, kChinese))
        return {0xFF, 0xFF};
    if (!text.empty() && text.front() == 'D') {
        const bool normal = text.back() == 'N';
        const int high = (normal ? 0x80 : 0xC0) + digit(text, 1);
        const int low = digit(text, 2) * 16 + digit(text, 3);
        return {static_cast<std::uint8_t>(low), static_cast<std::uint8_t>(high)};
    }
    std::string ctcss(text);
    if (ctcss.size() == 4)
        ctcss.insert(ctcss.begin(), '0');
    const int high = digit(ctcss, 0) * 16 + digit(ctcss, 1);
    const int low = digit(ctcss, 2) * 16 + digit(ctcss, 4);
    return {static_cast<std::uint8_t>(low), static_cast<std::uint8_t>(high)};
}

} // namespace zrk6
