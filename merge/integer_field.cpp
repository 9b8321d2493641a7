#include "merge/integer_field.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace tessary {

std::string integerRangeMessage(int32_t min, int32_t max)
{
    return "Enter an integer between " + std::to_string(min) + " and " + std::to_string(max) + ".";
}

IntegerField readIntegerField(const std::string& text, int32_t min, int32_t max)
{
    size_t i = 0, end = text.size();
    while (i < end && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    while (end > i && std::isspace(static_cast<unsigned char>(text[end - 1])))
        --end;
    bool negative = false;
    if (i < end && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i == end)
        return IntegerField { std::nullopt, kEnterAnInteger };
    // Digits beyond what any range here needs still parse, saturated, so that a long number
    // is reported as out of range rather than as not a number.
    int64_t magnitude = 0;
    for (; i < end; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return IntegerField { std::nullopt, kEnterAnInteger };
        magnitude = std::min<int64_t>(magnitude * 10 + (text[i] - '0'), int64_t(1) << 40);
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (value < min || value > max)
        return IntegerField { std::nullopt, integerRangeMessage(min, max) };
    return IntegerField { int32_t(value), {} };
}

} // namespace tessary
