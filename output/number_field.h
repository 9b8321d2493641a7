#pragma once
#include <optional>
#include <string>

namespace tessary {

inline constexpr const char* kEnterANumber = "Please enter a number.";

// "Enter a number between %1 and %2." with both numbers written as a dialog shows a length
// (up to 15 significant digits: 254, 1270, 0.5).
std::string numberRangeMessage(double min, double max);

// A length field as a dialog shows it: up to 15 significant digits, no trailing zeros.
std::string formatNumber(double value);

// A number edit field of a dialog: the value, or the message to show (not a number, or outside
// min..max). Blanks around the number are allowed.
struct NumberField {
    std::optional<double> value;
    std::string message;
};
NumberField readNumberField(const std::string& text, double min, double max);

} // namespace tessary
