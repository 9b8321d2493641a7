#pragma once
#include "merge/ui/integer_fields_dialog.h"

#include <QDialog>
#include <cstdint>

class QRadioButton;

namespace tessary {

class Platform;

// "Target View Size": the viewing size of the target, 100 %, 50 %, 25 % or 10 %, opening at
// 100 % whatever the current size.
class target_view_size : public QDialog {
    Q_OBJECT
public:
    explicit target_view_size(QWidget* parent = nullptr);
    int32_t percent() const;
    QRadioButton* choice(int32_t percent) const;
};

// "Set Margin": the left and right margin and the top and bottom margin, each 0 to 500,
// both opening at 0.
class set_margin : public IntegerFieldsDialog {
    Q_OBJECT
public:
    set_margin(Platform& platform, QWidget* parent = nullptr);
    int32_t marginX() const { return value(0); }
    int32_t marginY() const { return value(1); }
};

} // namespace tessary
