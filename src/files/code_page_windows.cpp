// The code pages through the system's own converter, as Windows applications read them.
#include "files/text_decoding.h"

#include <climits>
#include <windows.h>

namespace zrk6 {

std::optional<std::string> CodePageToUtf8(std::string_view bytes, TextEncoding codePage)
{
    const UINT page = codePage == TextEncoding::Gbk ? 936 : 1252;
    if (bytes.empty())
        return std::string();
    if (bytes.size() > static_cast<std::size_t>(INT_MAX))
        return std::nullopt;
    const int size = static_cast<int>(bytes.size());
    // Refuses a byte without a character, or a lead byte cut off at the end.
    const int length = MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0)
        return std::nullopt;
    std::u16string units(static_cast<std::size_t>(length), u'\0');
    if (MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.data(), size, reinterpret_cast<wchar_t *>(units.data()),
                            length) != length)
        return std::nullopt;
    return Utf16ToUtf8(units);
}

} // namespace zrk6
