#pragma once
#include <cstdint>
#include <optional>

class QLineEdit;

namespace tessary {

class Platform;

// Checks a dialog's integer field as the dialogs check theirs when a button applies them: the
// value, or nothing after "Please enter an integer." or "Enter an integer between %1 and %2."
// (error icon) with the field focused and its text selected for correction.
std::optional<int32_t> checkIntegerEdit(QLineEdit* edit, int32_t min, int32_t max, Platform& platform);

} // namespace tessary
