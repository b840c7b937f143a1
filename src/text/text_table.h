#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace zrk6 {

// The language of every text the program shows. The values are the ones stored in the
// settings and the indexes of the language list; a number becomes a language only through
// NormalizeLanguage, which treats anything unknown as English.
enum LanguageMode : int {
    kEnglish = 0,
    kChinese = 1,
};

// The product name, the same in both languages.
inline constexpr std::string_view kProductName = "ZR-K6";

// Clamps a stored language value to one the program knows (anything but 1 is English).
LanguageMode NormalizeLanguage(int value);

// The text with English identifier englishId (1000..1999) in the given language, UTF-8.
// A language value outside the two gives the English text; an unknown identifier gives an empty text.
std::string_view LoadText(int englishId, LanguageMode language);

struct TextEntry {
    int id;
    std::string_view english;
    std::string_view chinese;
};

// The pattern with %1..%9 replaced by the arguments (a missing argument gives an empty text).
std::string FillText(std::string_view pattern, std::initializer_list<std::string_view> arguments);

// Every entry of the table, sorted by identifier.
std::span<const TextEntry> AllTexts();

} // namespace zrk6
