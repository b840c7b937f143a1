#include "files/text_decoding.h"

namespace zrk6 {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

void appendUtf8(std::string &out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::optional<std::string> utf16Bytes(std::string_view bytes, bool bigEndian)
{
    if (bytes.size() % 2 != 0)
        return std::nullopt;
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        units[i] = static_cast<char16_t>(bigEndian ? (first << 8 | second) : (second << 8 | first));
    }
    return Utf16ToUtf8(units);
}

// A C1 control (U+0080..U+009F) is what a converter gives for a byte its code page leaves
// undefined (Windows maps 0x81 of Windows-1252 to U+0081): no text has one.
bool hasC1Control(std::string_view utf8)
{
    for (std::size_t i = 0; i + 1 < utf8.size(); ++i) {
        if (static_cast<unsigned char>(utf8[i]) == 0xC2 && static_cast<unsigned char>(utf8[i + 1]) < 0xA0)
            return true;
    }
    return false;
}

std::optional<std::string> cleanDecoding(std::string_view bytes, TextEncoding codePage)
{
    auto text = CodePageToUtf8(bytes, codePage);
    if (text && hasC1Control(*text))
        return std::nullopt;
    return text;
}

// How the bytes pair up as GBK characters (for bytes GBK decodes cleanly).
struct GbkShape {
    bool asciiTrail = false; // a pair whose second byte is ASCII: a Western accented letter
                             // before an ASCII letter ("M\xFCller") reads so
    bool onlyGb2312 = true;  // every pair in GB2312's area, both bytes 0xA1..0xFE, where
                             // the characters of everyday Chinese text lie
    bool twoInARow = false;  // two pairs one after the other, as any Chinese word has them
};

GbkShape gbkShape(std::string_view bytes)
{
    GbkShape shape;
    bool afterPair = false;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x81 || lead == 0xFF || i + 1 == bytes.size()) {
            afterPair = false;
            ++i;
            continue;
        }
        const auto trail = static_cast<unsigned char>(bytes[i + 1]);
        shape.asciiTrail = shape.asciiTrail || trail < 0x80;
        shape.onlyGb2312 = shape.onlyGb2312 && lead >= 0xA1 && lead <= 0xF7 && trail >= 0xA1 && trail <= 0xFE;
        shape.twoInARow = shape.twoInARow || afterPair;
        afterPair = true;
        i += 2;
    }
    return shape;
}

DecodedText failed(CsvError error)
{
    DecodedText result;
    result.error = error;
    return result;
}

DecodedText decoded(std::string utf8, TextEncoding encoding)
{
    if (utf8.size() > kMaxCsvBytes)
        return failed(CsvError::TooLarge);
    DecodedText result;
    result.utf8 = std::move(utf8);
    result.encoding = encoding;
    return result;
}

// Bytes that are not UTF-8, in the code page that decodes them cleanly. Nearly any bytes
// decode in both, so where both do, the text's shape decides: Western text puts an accented
// letter before an ASCII letter, which GBK reads as a pair with an ASCII second byte, and
// Chinese text is pairs from GB2312's area, several in a row, which Western text almost never
// has. What neither shape settles goes to the system's code page.
DecodedText decodeLegacy(std::string_view bytes, TextEncoding systemCodePage)
{
    auto western = cleanDecoding(bytes, TextEncoding::Windows1252);
    auto chinese = cleanDecoding(bytes, TextEncoding::Gbk);
    if (!western && !chinese)
        return failed(CsvError::NoKnownEncoding);
    bool gbk = chinese.has_value();
    if (western && chinese) {
        const GbkShape shape = gbkShape(bytes);
        gbk = systemCodePage == TextEncoding::Gbk ? !shape.asciiTrail : shape.onlyGb2312 && shape.twoInARow;
    }
    return gbk ? decoded(std::move(*chinese), TextEncoding::Gbk)
               : decoded(std::move(*western), TextEncoding::Windows1252);
}

} // namespace

std::optional<std::string> Utf16ToUtf8(std::u16string_view units)
{
    std::string out;
    out.reserve(units.size() * 3 / 2);
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            appendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            return std::nullopt;
        } else {
            appendUtf8(out, u);
        }
    }
    return out;
}

DecodedText DecodeText(std::string_view bytes, TextEncoding systemCodePage)
{
    if (bytes.size() > kMaxCsvBytes)
        return failed(CsvError::TooLarge);
    const bool littleEndian = bytes.starts_with(kUtf16LeBom);
    if (littleEndian || bytes.starts_with(kUtf16BeBom)) {
        auto text = utf16Bytes(bytes.substr(2), !littleEndian);
        if (!text)
            return failed(CsvError::NoKnownEncoding);
        if (HasBinaryBytes(*text))
            return failed(CsvError::Binary);
        return decoded(std::move(*text), TextEncoding::Utf16);
    }
    if (HasBinaryBytes(bytes))
        return failed(CsvError::Binary);
    if (bytes.starts_with(kUtf8Bom)) {
        bytes.remove_prefix(kUtf8Bom.size());
        return IsValidUtf8(bytes) ? decoded(std::string(bytes), TextEncoding::Utf8) : failed(CsvError::NotUtf8);
    }
    if (IsValidUtf8(bytes))
        return decoded(std::string(bytes), TextEncoding::Utf8);
    return decodeLegacy(bytes, systemCodePage);
}

} // namespace zrk6
