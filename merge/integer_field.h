#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace tessary {

inline constexpr const char* kEnterAnInteger = "Please enter an integer.";

// "Enter an integer between %1 and %2." with both numbers filled in.
std::string integerRangeMessage(int32_t min, int32_t max);

// An integer edit field of a dialog checked on OK: the value, or the message to show (the
// field is not an integer, or it lies outside min..max). Blanks around the number are allowed.
struct IntegerField {
    std::optional<int32_t> value;
    std::string message;
};
IntegerField readIntegerField(const std::string& text, int32_t min, int32_t max);

} // namespace tessary
