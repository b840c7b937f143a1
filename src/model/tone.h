#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/memory_image.h"
#include "text/text_table.h"

namespace zrk6 {

inline constexpr int kToneCount = 261;    // "None", 50 CTCSS, 105 DCS N, 105 DCS I
inline constexpr int kCtcssCount = 50;
inline constexpr int kDcsCount = 105;
inline constexpr int kToneColumnDecode = 8; // WriteToneCode's k for a channel's decode tone
inline constexpr int kToneColumnEncode = 10;

// The 261 tone texts in list order; entry 0 is "None" in the given language.
std::vector<std::string> BuildToneList(LanguageMode language);

// The text of a ToneCode (L at the lower address, H at the higher). Always one of the
// ToneList texts: anything that is not a listed tone reads as entry 0.
std::string ReadToneCode(std::uint8_t low, std::uint8_t high, LanguageMode language);

// The two bytes WriteToneCode stores for a tone text: {L, H}. "None"/"无" (any text
// beginning with "N") give FF FF.
struct ToneBytes {
    std::uint8_t low;
    std::uint8_t high;
    bool operator==(const ToneBytes &) const = default;
};
ToneBytes EncodeToneText(std::string_view text);

// Writes the ToneCode of a tone text at columns k (L) and k+1 (H) of the row.
void WriteToneCode(MemoryImage &image, int row, std::string_view text, int k);

// True for the "None" entry in either language.
bool IsNoneTone(std::string_view text);

} // namespace zrk6
