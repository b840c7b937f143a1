#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/memory_image.h"
#include "text/text_table.h"

namespace zrk6 {

// The memory as a YAML document a person can read, edit and keep in git: every field the
// program knows in the window's words, and the bytes it does not interpret, so that the text
// goes back to the same 4096 bytes.

inline constexpr int kTextFormVersion = 1;
// Longer texts are refused before they are parsed.
inline constexpr std::size_t kMaxTextFormBytes = 1024 * 1024;

// Why a text could not be turned into a memory: where (1-based line and column, 0 when the
// whole text is meant), which key ("channels.71.power"; empty for the text as a whole) and what,
// as a text id with its arguments.
struct TextFormError {
    int line = 0;
    int column = 0;
    std::string path;
    int textId = 0;
    std::vector<std::string> arguments;

    bool operator==(const TextFormError &) const = default;
};

// "line 7, column 12: channels.71.power: 'Medium' is not one of High, Mid, Low".
std::string TextFormErrorText(const TextFormError &error, LanguageMode language);

struct EncodedTextForm {
    MemoryImage image; // valid only when ok()
    std::optional<TextFormError> error;

    bool ok() const { return !error; }
};

// The text form of an image. The same image always gives the same text, and
// EncodeTextForm(DecodeTextForm(image)) gives the image back byte for byte.
std::string DecodeTextForm(const MemoryImage &image);

// The image a text form describes: the band's default image, the rows the text gives as hex,
// then every field the text names that reads differently, written as the window writes it.
// Any text that is not a valid text form (unknown or duplicate keys, values off their lists
// or out of the band, a value the memory cannot hold, over kMaxTextFormBytes, binary data)
// gives an error and no image. Bounded in time and memory for any input.
EncodedTextForm EncodeTextForm(std::string_view text);

// True when a file name asks for the text form (it ends in ".yaml" or ".yml", any case).
bool IsTextFormFileName(std::string_view fileName);

} // namespace zrk6
