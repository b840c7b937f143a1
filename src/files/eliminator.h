#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
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

// One elimination pass: the pass's result when it pays (at most one byte longer than data, or
// eliminating 1100 bytes or more), nothing when it does not. data must be under 16 MiB.
std::optional<std::vector<std::uint8_t>> CompressPass(std::span<const std::uint8_t> data);

// Undoes one pass into out. Never reads outside data; refuses with OverLimit before building
// more than outputLimit bytes.
EliminatorError ExpandPass(std::span<const std::uint8_t> data, std::size_t outputLimit,
                           std::vector<std::uint8_t> &out);

// Compresses data with byte-elimination passes while they pay, followed by the pass-count
// byte. Deterministic. Fails only with TooManyPasses or InputTooLarge, never for the
// 4112 bytes of a data file.
EliminatorResult EliminatorCompress(std::span<const std::uint8_t> data);

// Undoes EliminatorCompress. Never reads outside data; refuses with Truncated when the data
// ends early and with OverLimit as soon as any pass would produce more than outputLimit bytes.
EliminatorResult EliminatorExpand(std::span<const std::uint8_t> data, std::size_t outputLimit);

} // namespace zrk6
