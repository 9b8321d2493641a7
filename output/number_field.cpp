#include "output/number_field.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace tessary {

// Both directions go through charconv: the Qt layer sets the C library's locale from the
// environment, and a length must not read "2,5" in one language and "2.5" in another.
std::string formatNumber(double value)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 15);
    return std::string(text, result.ptr);
}

std::string numberRangeMessage(double min, double max)
{
    return "Enter a number between " + formatNumber(min) + " and " + formatNumber(max) + ".";
}

NumberField readNumberField(const std::string& text, double min, double max)
{
    size_t i = 0, end = text.size();
    while (i < end && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    while (end > i && std::isspace(static_cast<unsigned char>(text[end - 1])))
        --end;
    if (i < end && text[i] == '+' && (i + 1 == end || text[i + 1] != '-'))
        ++i;
    double value = 0.0;
    const char* first = text.data() + i;
    const char* last = text.data() + end;
    // Decimal notation only: "inf", "nan" and hexadecimal forms are not lengths.
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (i == end || result.ec != std::errc() || result.ptr != last || !std::isfinite(value))
        return NumberField { std::nullopt, kEnterANumber };
    if (value < min || value > max)
        return NumberField { std::nullopt, numberRangeMessage(min, max) };
    return NumberField { value, {} };
}

} // namespace tessary
