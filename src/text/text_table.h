#pragma once

#include <span>
#include <string_view>

namespace zrk6 {

// 0 English, 1 Chinese. Any other value is treated as English wherever a text is looked up.
using LanguageMode = int;

inline constexpr LanguageMode kEnglish = 0;
inline constexpr LanguageMode kChinese = 1;

// The product name, the same in both languages.
inline constexpr std::string_view kProductName = "ZR-K6";

// Clamps a stored language value to one the program knows (anything but 1 is English).
LanguageMode NormalizeLanguage(int value);

// The text with English identifier englishId (1000..1999) in the given language, UTF-8.
// A language other than 0/1 gives the English text; an unknown identifier gives an empty text.
std::string_view LoadText(int englishId, LanguageMode language);

struct TextEntry {
    int id;
    std::string_view english;
    std::string_view chinese;
};

// Every entry of the table, sorted by identifier.
std::span<const TextEntry> AllTexts();

} // namespace zrk6
