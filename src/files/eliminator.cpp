#include "files/eliminator.h"

#include <array>

namespace zrk6 {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kMaxCount = 0xFFFFFF;   // three-byte counts
constexpr unsigned kAlwaysApplyCount = 1100; // a pass this big is applied even if it grows
constexpr int kLongRun = 134;                 // 0xFF: this many others, no E after them

void AppendCount(Bytes &out, std::size_t value)
{
    out.push_back(static_cast<std::uint8_t>((value >> 16) & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
}

std::size_t ReadCount(std::span<const std::uint8_t> d, std::size_t at)
{
    return (std::size_t{d[at]} << 16) | (std::size_t{d[at + 1]} << 8) | d[at + 2];
}

} // namespace

std::optional<Bytes> CompressPass(std::span<const std::uint8_t> d)
{
    std::array<std::size_t, 256> counts{};
    for (std::uint8_t b : d)
        ++counts[b];
    // The most frequent value; among equal counts the larger value.
    unsigned e = 0;
    for (unsigned value = 0; value < 256; ++value)
        if (counts[value] >= counts[e])
            e = value;
    const std::size_t c = counts[e];

    Bytes a; // position section
    Bytes r; // remaining bytes
    a.reserve(4 + d.size() / 7 + 2);
    r.reserve(d.size() - c);
    a.push_back(static_cast<std::uint8_t>(e));
    AppendCount(a, c);

    unsigned bits = 0;
    int v = 0; // position within the current code
    std::size_t found = 0;
    std::size_t m = 0;
    while (found < c) {
        if (d[m] != e) {
            r.push_back(d[m]);
        } else {
            if (v >= 7) {
                a.push_back(static_cast<std::uint8_t>(0x80 + (v - 7)));
                bits = 0;
                v = -1;
            } else {
                bits |= 1u << (6 - v);
            }
            ++found;
        }
        ++m;
        ++v;
        if (v == 7) {
            // A group with no E is never written: the stretch goes on as a run.
            if (bits > 0) {
                a.push_back(static_cast<std::uint8_t>(bits));
                bits = 0;
                v = 0;
            }
        } else if (v == kLongRun) {
            a.push_back(0xFF);
            bits = 0;
            v = 0;
        }
    }
    if (bits > 0)
        a.push_back(static_cast<std::uint8_t>(bits));
    r.insert(r.end(), d.begin() + static_cast<std::ptrdiff_t>(m), d.end());

    const std::size_t resultSize = 3 + a.size() + r.size();
    if (resultSize > d.size() + 1 && c < kAlwaysApplyCount)
        return std::nullopt;

    Bytes out;
    out.reserve(resultSize);
    AppendCount(out, a.size());
    out.insert(out.end(), a.begin(), a.end());
    out.insert(out.end(), r.begin(), r.end());
    return out;
}

EliminatorError ExpandPass(std::span<const std::uint8_t> d, std::size_t limit, Bytes &out)
{
    const std::size_t n = d.size();
    if (n < 7)
        return EliminatorError::Truncated;
    const std::size_t l = ReadCount(d, 0);
    const std::uint8_t e = d[3];
    const std::size_t c = ReadCount(d, 4);
    // The section must hold E and C, and lie within the data.
    if (l < 4 || 3 + l > n)
        return EliminatorError::Truncated;
    const std::size_t codesEnd = 3 + l;
    const std::size_t outSize = n - codesEnd + c;
    if (outSize > limit)
        return EliminatorError::OverLimit;

    out.clear();
    out.reserve(outSize);
    std::size_t i = codesEnd; // next remaining byte
    std::size_t k = 7;        // next position code
    std::size_t j = 0;        // E bytes written
    while (j < c) {
        if (k >= codesEnd)
            return EliminatorError::Truncated;
        const std::uint8_t w = d[k++];
        if (w < 0x80) {
            for (int bit = 6; bit >= 0 && j < c; --bit) {
                if (w & (1u << bit)) {
                    out.push_back(e);
                    ++j;
                } else {
                    if (i >= n)
                        return EliminatorError::Truncated;
                    out.push_back(d[i++]);
                }
            }
        } else {
            const std::size_t others = (w & 0x7Fu) + 7;
            if (others > n - i)
                return EliminatorError::Truncated;
            out.insert(out.end(), d.begin() + static_cast<std::ptrdiff_t>(i),
                       d.begin() + static_cast<std::ptrdiff_t>(i + others));
            i += others;
            if (w != 0xFF) {
                out.push_back(e);
                ++j;
            }
        }
    }
    out.insert(out.end(), d.begin() + static_cast<std::ptrdiff_t>(i), d.end());
    return EliminatorError::None;
}

EliminatorResult EliminatorCompress(std::span<const std::uint8_t> data)
{
    if (data.size() > kMaxCount)
        return {{}, EliminatorError::InputTooLarge};
    Bytes current(data.begin(), data.end());
    int passes = 0;
    while (std::optional<Bytes> next = CompressPass(current)) {
        if (passes == kMaxEliminatorPasses)
            return {{}, EliminatorError::TooManyPasses};
        current = std::move(*next);
        ++passes;
        // A pass that is applied because of its size may grow the data past what the
        // three-byte counts can describe.
        if (current.size() > kMaxCount)
            return {{}, EliminatorError::InputTooLarge};
    }
    current.push_back(static_cast<std::uint8_t>(passes));
    return {std::move(current), EliminatorError::None};
}

EliminatorResult EliminatorExpand(std::span<const std::uint8_t> data, std::size_t outputLimit)
{
    if (data.empty())
        return {{}, EliminatorError::Truncated};
    const int passes = data.back();
    Bytes current(data.begin(), data.end() - 1);
    if (passes == 0 && current.size() > outputLimit)
        return {{}, EliminatorError::OverLimit};
    Bytes next;
    for (int p = 0; p < passes; ++p) {
        if (const EliminatorError error = ExpandPass(current, outputLimit, next);
            error != EliminatorError::None)
            return {{}, error};
        current.swap(next);
    }
    return {std::move(current), EliminatorError::None};
}

} // namespace zrk6
