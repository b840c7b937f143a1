#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zrk6 {

// A non-negative decimal number read exactly from text, in units of 1e-9 (nano).
// Digits beyond the ninth decimal only set `sticky`, so ties and comparisons stay exact.
struct DecimalValue {
    std::int64_t nano = 0;
    bool sticky = false;    // a non-zero digit below 1e-9 was dropped
    bool negative = false;  // the text had a minus sign and a non-zero value

    static constexpr std::int64_t kScale = 1000000000;
};

// The number formed by the leading characters: blanks skipped, an optional sign (when
// allowSign), digits and one decimal point; reading stops at the first other character.
// No number gives 0.
DecimalValue LeadingNumber(std::string_view text, bool allowSign);

// The value when the whole text (surrounding blanks aside) is a number: optional sign,
// digits, at most one decimal point, at least one digit. Otherwise nullopt.
std::optional<DecimalValue> WholeNumber(std::string_view text);

enum class Tie { Up, Even };

// value / divisor rounded to the nearest integer, ties by the given rule (value >= 0).
std::int64_t RoundDiv(const DecimalValue &value, std::int64_t divisor, Tie tie);

// The value in 10 Hz units when it is read in MHz (x 100000), rounded by the tie rule.
std::int64_t MHzToUnits(const DecimalValue &value, Tie tie);

// Compares the value with a whole number: -1, 0 or 1.
int Compare(const DecimalValue &value, std::int64_t whole);

} // namespace zrk6
