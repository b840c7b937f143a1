#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "files/eliminator.h"

namespace zrk6 {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kRoomy = 1 << 20;

Bytes Repeat(std::uint8_t value, std::size_t count) { return Bytes(count, value); }

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes &part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

// count bytes other than 0x00, no value more than twice.
Bytes Others(std::size_t count)
{
    Bytes out;
    for (std::size_t i = 0; i < count; ++i)
        out.push_back(static_cast<std::uint8_t>(i % 200 + 1));
    return out;
}

// The position codes of a pass result (after L, E and C).
Bytes PositionCodes(const Bytes &pass)
{
    const std::size_t l = (std::size_t{pass[0]} << 16) | (std::size_t{pass[1]} << 8) | pass[2];
    return Bytes(pass.begin() + 7, pass.begin() + static_cast<std::ptrdiff_t>(3 + l));
}

struct Example {
    const char *name;
    Bytes input;
    Bytes output;
};

TEST(EliminatorCompress, WorkedExamplesByteForByte)
{
    const Example examples[] = {
        {"abc: no pass pays", {0x61, 0x62, 0x63}, {0x61, 0x62, 0x63, 0x00}},
        {"nine a and one b",
         Concat({Repeat(0x61, 9), {0x62}}),
         {0x00, 0x00, 0x06, 0x61, 0x00, 0x00, 0x09, 0x7F, 0x60, 0x62, 0x01}},
        {"digits then ten zeros",
         Concat({{0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38}, Repeat(0x00, 10)}),
         {0x00, 0x00, 0x07, 0x00, 0x00, 0x00, 0x0A, 0x81, 0x7F, 0x60, 0x31, 0x32, 0x33, 0x34,
          0x35, 0x36, 0x37, 0x38, 0x01}},
    };
    for (const Example &example : examples) {
        SCOPED_TRACE(example.name);
        const EliminatorResult compressed = EliminatorCompress(example.input);
        ASSERT_TRUE(compressed.ok());
        EXPECT_EQ(compressed.bytes, example.output);
        const EliminatorResult expanded = EliminatorExpand(compressed.bytes, kRoomy);
        ASSERT_TRUE(expanded.ok());
        EXPECT_EQ(expanded.bytes, example.input);
    }
}

TEST(EliminatorCompress, AmongEqualCountsTheLargerValueIsEliminated)
{
    const auto pass = CompressPass(Concat({Repeat(0x10, 20), Repeat(0x20, 20)}));
    ASSERT_TRUE(pass);
    EXPECT_EQ((*pass)[3], 0x20);
}

struct RunCase {
    std::size_t others; // bytes other than E before ten E
    Bytes codes;
};

TEST(CompressPass, RunsOfOtherBytesGiveRunMarkersNeverAnEmptyGroup)
{
    const RunCase cases[] = {
        {7, {0x80, 0x7F, 0x60}},   // shortest run: 0x80, not a 0x00 group
        {8, {0x81, 0x7F, 0x60}},
        {133, {0xFE, 0x7F, 0x60}}, // longest run with an E after it
        {134, {0xFF, 0x7F, 0x70}}, // 134 others: 0xFF, and the next code starts afresh
        {135, {0xFF, 0x3F, 0x78}},
        {268, {0xFF, 0xFF, 0x7F, 0x70}},
        {0, {0x7F, 0x70}},         // the last group ends early after the last E
    };
    for (const RunCase &c : cases) {
        SCOPED_TRACE(c.others);
        const Bytes input = Concat({Others(c.others), Repeat(0x00, 10)});
        const auto pass = CompressPass(input);
        ASSERT_TRUE(pass);
        EXPECT_EQ((*pass)[3], 0x00);
        EXPECT_EQ(PositionCodes(*pass), c.codes);
        Bytes back;
        ASSERT_EQ(ExpandPass(*pass, kRoomy, back), EliminatorError::None);
        EXPECT_EQ(back, input);
    }
}

TEST(CompressPass, PaysUpToOneByteLongerThanItsInput)
{
    // 268 others then ten E: 3 + (4 + 4 codes) + 268 = 279 = N + 1, still applied.
    const Bytes input = Concat({Others(268), Repeat(0x00, 10)});
    const auto pass = CompressPass(input);
    ASSERT_TRUE(pass);
    EXPECT_EQ(pass->size(), input.size() + 1);
    // One E fewer makes it two bytes longer: not applied.
    EXPECT_FALSE(CompressPass(Concat({Others(268), Repeat(0x00, 9), Others(1)})));
}

// n E bytes, each after seven others, then eight others: every E needs a code of its own,
// so the pass never pays by size.
Bytes SparseEs(std::size_t n)
{
    Bytes input;
    std::uint8_t next = 1;
    auto other = [&] {
        input.push_back(next);
        next = next == 0xFF ? 1 : next + 1;
    };
    for (std::size_t i = 0; i < n; ++i) {
        for (int k = 0; k < 7; ++k)
            other();
        input.push_back(0x00);
    }
    for (int k = 0; k < 8; ++k)
        other();
    return input;
}

TEST(CompressPass, EliminatingElevenHundredBytesIsAppliedEvenIfLonger)
{
    EXPECT_FALSE(CompressPass(SparseEs(1099)));
    const Bytes input = SparseEs(1100);
    const auto pass = CompressPass(input);
    ASSERT_TRUE(pass);
    EXPECT_GT(pass->size(), input.size() + 1);
    const EliminatorResult whole = EliminatorCompress(input);
    ASSERT_TRUE(whole.ok());
    const EliminatorResult back = EliminatorExpand(whole.bytes, 2 * input.size());
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.bytes, input);
}

TEST(EliminatorCompress, RoundTripsRandomArraysOfEveryDensity)
{
    std::mt19937 random(20261210);
    for (std::size_t size = 1; size <= 4112; size += size < 40 ? 1 : 97) {
        for (const double density : {0.0, 0.05, 0.3, 0.7, 0.98, 1.0}) {
            std::bernoulli_distribution common(density);
            std::uniform_int_distribution<int> any(0, 255);
            Bytes input(size);
            for (auto &b : input)
                b = common(random) ? 0xFF : static_cast<std::uint8_t>(any(random));
            const EliminatorResult compressed = EliminatorCompress(input);
            ASSERT_TRUE(compressed.ok()) << size << " " << density;
            // Every pass applied grows the data by at most one byte.
            EXPECT_LE(compressed.bytes.size(), size + 1 + compressed.bytes.back());
            EXPECT_EQ(EliminatorCompress(input).bytes, compressed.bytes); // deterministic
            const EliminatorResult expanded = EliminatorExpand(compressed.bytes, size + 256);
            ASSERT_TRUE(expanded.ok()) << size << " " << density;
            ASSERT_EQ(expanded.bytes, input) << size << " " << density;
        }
    }
    // The last size of the loop is not 4112 itself.
    const Bytes full = Concat({Others(4000), Repeat(0x00, 112)});
    EXPECT_EQ(EliminatorExpand(EliminatorCompress(full).bytes, 4112).bytes, full);
}

TEST(EliminatorCompress, EmptyInputIsJustThePassCount)
{
    const EliminatorResult compressed = EliminatorCompress(Bytes{});
    ASSERT_TRUE(compressed.ok());
    EXPECT_EQ(compressed.bytes, Bytes{0x00});
    const EliminatorResult expanded = EliminatorExpand(compressed.bytes, 0);
    ASSERT_TRUE(expanded.ok());
    EXPECT_TRUE(expanded.bytes.empty());
}

struct Refusal {
    const char *name;
    Bytes input;
    std::size_t limit;
    EliminatorError error;
};

TEST(EliminatorExpand, RefusesMalformedInputWithoutReadingPastTheEnd)
{
    // A valid one-pass array to damage: 00 00 06 61 00 00 09 7F 60 62 01.
    const Bytes good = {0x00, 0x00, 0x06, 0x61, 0x00, 0x00, 0x09, 0x7F, 0x60, 0x62, 0x01};
    const Refusal refusals[] = {
        {"nothing at all", {}, kRoomy, EliminatorError::Truncated},
        {"shorter than L, E and C", {0x00, 0x00, 0x04, 0x61, 0x00, 0x01}, kRoomy, EliminatorError::Truncated},
        {"section shorter than E and C", {0x00, 0x00, 0x03, 0x61, 0x00, 0x00, 0x01, 0x01}, kRoomy,
         EliminatorError::Truncated},
        {"section beyond the end", {0x00, 0x00, 0x09, 0x61, 0x00, 0x00, 0x01, 0x40, 0x01}, kRoomy,
         EliminatorError::Truncated},
        {"codes run out before C", {0x00, 0x00, 0x05, 0x61, 0x00, 0x00, 0x09, 0x7F, 0x01}, kRoomy,
         EliminatorError::Truncated},
        {"group needs a missing remaining byte", {0x00, 0x00, 0x05, 0x61, 0x00, 0x00, 0x02, 0x41, 0x01},
         kRoomy, EliminatorError::Truncated},
        {"run marker needs missing bytes", {0x00, 0x00, 0x05, 0x61, 0x00, 0x00, 0x01, 0x80, 0x62, 0x01},
         kRoomy, EliminatorError::Truncated},
        {"more passes than there are", Concat({Bytes(good.begin(), good.end() - 1), {0x02}}), kRoomy,
         EliminatorError::Truncated},
        {"output one byte over the limit", good, 9, EliminatorError::OverLimit},
        {"claims sixteen million E", {0x00, 0x00, 0x04, 0x00, 0xFF, 0xFF, 0xFF, 0xFF}, 4367,
         EliminatorError::OverLimit},
        {"no pass, input over the limit", {0x61, 0x62, 0x63, 0x00}, 2, EliminatorError::OverLimit},
    };
    for (const Refusal &r : refusals) {
        SCOPED_TRACE(r.name);
        const EliminatorResult result = EliminatorExpand(r.input, r.limit);
        EXPECT_EQ(result.error, r.error);
        EXPECT_TRUE(result.bytes.empty());
    }
    EXPECT_TRUE(EliminatorExpand(good, 10).ok()); // the limit itself is allowed
}

TEST(EliminatorExpand, EveryTruncationEndsCleanly)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> any(0, 255);
    Bytes input(4112, 0xFF);
    for (std::size_t i = 0; i < input.size(); i += 3)
        input[i] = static_cast<std::uint8_t>(any(random));
    const Bytes compressed = EliminatorCompress(input).bytes;
    ASSERT_GT(compressed.back(), 1);
    for (std::size_t length = 0; length < compressed.size(); ++length) {
        const Bytes cut(compressed.begin(), compressed.begin() + static_cast<std::ptrdiff_t>(length));
        const EliminatorResult result = EliminatorExpand(cut, 4112 + 255);
        if (result.ok())
            EXPECT_LE(result.bytes.size(), 4112u + 255u) << length;
        else
            EXPECT_TRUE(result.bytes.empty());
    }
}

TEST(EliminatorExpand, ADecompressionBombStopsAtTheLimit)
{
    // 300000 zero bytes compress to a few hundred bytes over several passes.
    const Bytes bomb = EliminatorCompress(Bytes(300000, 0x00)).bytes;
    ASSERT_LT(bomb.size(), 2000u);
    EXPECT_EQ(EliminatorExpand(bomb, 4367).error, EliminatorError::OverLimit);
    EXPECT_EQ(EliminatorExpand(bomb, 300000).bytes.size(), 300000u);
}

} // namespace
} // namespace zrk6
