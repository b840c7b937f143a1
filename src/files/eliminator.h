#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace zrk6 {

// Why a compression or an expansion was refused.
enum class EliminatorError {
    None = 0,
    Truncated,     // a length, position code or remaining byte lies beyond the end of the data
    OverLimit,     // a pass would produce more bytes than the caller allows
    TooManyPasses, // compression would need more than 255 passes
    InputTooLarge, // compression input of 16 MiB or more: its counts do not fit three bytes
};

struct EliminatorResult {
    std::vector<std::uint8_t> bytes; // the result; empty on error
    EliminatorError error = EliminatorError::None;

    bool ok() const { return error == EliminatorError::None; }
};

inline constexpr int kMaxEliminatorPasses = 255;

// Compresses data with byte-elimination passes while they pay, followed by the pass-count
// byte. Deterministic. Fails only with TooManyPasses or InputTooLarge, never for the
// 4112 bytes of a data file.
EliminatorResult EliminatorCompress(std::span<const std::uint8_t> data);

// Undoes EliminatorCompress. Never reads outside data; refuses with Truncated when the data
// ends early and with OverLimit as soon as any pass would produce more than outputLimit bytes.
EliminatorResult EliminatorExpand(std::span<const std::uint8_t> data, std::size_t outputLimit);

} // namespace zrk6
