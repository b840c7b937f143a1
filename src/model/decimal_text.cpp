#include "model/decimal_text.h"

#include <algorithm>

namespace zrk6 {
namespace {

constexpr std::int64_t kMaxInteger = 1000000000; // saturate far above any frequency

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Accumulates digits into a DecimalValue.
class Accumulator {
public:
    void integerDigit(char c)
    {
        // Saturate before the value can grow past kMaxInteger: value() multiplies by the scale.
        integer_ = std::min(integer_ * 10 + (c - '0'), kMaxInteger);
        any_ = true;
    }
    void fractionDigit(char c)
    {
        any_ = true;
        if (fractionDigits_ < 9) {
            fraction_ = fraction_ * 10 + (c - '0');
            ++fractionDigits_;
        } else if (c != '0') {
            sticky_ = true;
        }
    }
    // Takes a digit or the first decimal point; false for any other character.
    bool feed(char c)
    {
        if (isDigit(c)) {
            pointSeen_ ? fractionDigit(c) : integerDigit(c);
            return true;
        }
        if (c == '.' && !pointSeen_) {
            pointSeen_ = true;
            return true;
        }
        return false;
    }
    bool any() const { return any_; }
    bool pointSeen() const { return pointSeen_; }
    DecimalValue value(bool negative) const
    {
        std::int64_t fraction = fraction_;
        for (int i = fractionDigits_; i < 9; ++i)
            fraction *= 10;
        DecimalValue v;
        v.nano = integer_ * DecimalValue::kScale + fraction;
        v.sticky = sticky_;
        v.negative = negative && (v.nano != 0 || v.sticky);
        return v;
    }

private:
    std::int64_t integer_ = 0;
    std::int64_t fraction_ = 0;
    int fractionDigits_ = 0;
    bool sticky_ = false;
    bool any_ = false;
    bool pointSeen_ = false;
};

} // namespace

DecimalValue LeadingNumber(std::string_view text, bool allowSign)
{
    Accumulator acc;
    bool negative = false;
    bool signSeen = false;
    for (char c : text) {
        if (isBlank(c))
            continue;
        if (allowSign && !signSeen && !acc.any() && !acc.pointSeen() && (c == '-' || c == '+')) {
            signSeen = true;
            negative = c == '-';
        } else if (!acc.feed(c)) {
            break;
        }
    }
    return acc.value(negative);
}

std::optional<DecimalValue> WholeNumber(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    Accumulator acc;
    bool negative = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (i == 0 && (c == '-' || c == '+'))
            negative = c == '-';
        else if (!acc.feed(c))
            return std::nullopt;
    }
    if (!acc.any())
        return std::nullopt;
    return acc.value(negative);
}

std::int64_t RoundDiv(const DecimalValue &value, std::int64_t divisor, Tie tie)
{
    const std::int64_t q = value.nano / divisor;
    const std::int64_t r = value.nano % divisor;
    const std::int64_t twice = 2 * r;
    if (twice < divisor)
        return q; // divisors are even multiples of the scale step, so sticky cannot reach half
    if (twice > divisor || value.sticky)
        return q + 1;
    if (tie == Tie::Up)
        return q + 1;
    return (q % 2 == 0) ? q : q + 1;
}

std::int64_t MHzToUnits(const DecimalValue &value, Tie tie)
{
    // One 10 Hz unit is 1e-5 MHz = 10000 nano-MHz.
    return RoundDiv(value, 10000, tie);
}

int Compare(const DecimalValue &value, std::int64_t whole)
{
    if (value.negative)
        return -1;
    const std::int64_t w = whole * DecimalValue::kScale;
    if (value.nano < w)
        return -1;
    if (value.nano > w || value.sticky)
        return 1;
    return 0;
}

} // namespace zrk6
