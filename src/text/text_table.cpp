#include "text/text_table.h"

#include <algorithm>
#include <array>

namespace zrk6 {
namespace {

constexpr TextEntry kEntries[] = {
#include "text/text_entries.inc"
};

constexpr bool isSorted()
{
    for (std::size_t i = 1; i < std::size(kEntries); ++i) {
        if (kEntries[i - 1].id >= kEntries[i].id)
            return false;
    }
    return true;
}
static_assert(isSorted(), "text entries must be sorted by identifier without duplicates");

} // namespace

LanguageMode NormalizeLanguage(int value)
{
    return value == kChinese ? kChinese : kEnglish;
}

std::string_view LoadText(int englishId, LanguageMode language)
{
    const auto it = std::lower_bound(std::begin(kEntries), std::end(kEntries), englishId,
                                     [](const TextEntry &e, int id) { return e.id < id; });
    if (it == std::end(kEntries) || it->id != englishId)
        return {};
    return language == kChinese ? it->chinese : it->english;
}

std::string FillText(std::string_view pattern, std::initializer_list<std::string_view> arguments)
{
    std::string out;
    out.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const auto n = static_cast<std::size_t>(pattern[++i] - '1');
            if (n < arguments.size())
                out += *(arguments.begin() + n);
        } else {
            out += c;
        }
    }
    return out;
}

std::span<const TextEntry> AllTexts()
{
    return kEntries;
}

} // namespace zrk6
