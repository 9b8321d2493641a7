#pragma once
#include "merge/ui/integer_fields_dialog.h"

namespace tessary {

class Platform;

// "Nudge factor" (the program's nudge_factor): how many layout pixels the nudge arrows move the
// selected source, horizontally and vertically, each 1 to 1000, opening at the current steps.
// OK checks both fields; the caller stores what was accepted (storeNudgeFactors).
class nudge_factor : public IntegerFieldsDialog {
    Q_OBJECT
public:
    nudge_factor(Platform& platform, int32_t nudgeX, int32_t nudgeY, QWidget* parent = nullptr);
    int32_t nudgeX() const { return value(0); }
    int32_t nudgeY() const { return value(1); }
};

} // namespace tessary
