#pragma once
#include "merge/ui/integer_fields_dialog.h"

namespace tessary {

class Platform;

// "Save Tiles": how many tiles across and down the target is cut into, each 1 to 10, both
// opening at 1 every time.
class save_tiles : public IntegerFieldsDialog {
    Q_OBJECT
public:
    save_tiles(Platform& platform, QWidget* parent = nullptr);
    int32_t across() const { return value(0); }
    int32_t down() const { return value(1); }
};

} // namespace tessary
