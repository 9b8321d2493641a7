#pragma once
#include "corrections/grid.h"
#include "corrections/ui/correction_dialog.h"

#include <optional>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace tessary {

// "Grid Lines": solid and dotted grids with their spacings, the thickness and the colour. Each
// "Apply" draws into the source's current image (applications add up); "Ok" draws and closes;
// "Cancel" gives back the image the dialog opened with (as 24 bits). Any change of a field or
// an "Enable" box enables "Apply".
class gridlines : public CorrectionDialog {
    Q_OBJECT
public:
    gridlines(const SourceWindow& window, QWidget* parent = nullptr);

    QCheckBox* solidEnable() const { return solid_; }
    QCheckBox* dottedEnable() const { return dotted_; }
    // 0 solid X, 1 solid Y, 2 dotted X, 3 dotted Y, 4 thickness.
    QLineEdit* field(int n) const { return fields_[n]; }
    QPushButton* applyButton() const { return apply_; }
    QPushButton* colourButton() const { return colourButton_; }
    ColourRef colour() const { return colour_; }

    // The fields read and checked (the range message for the first bad one); then drawn.
    bool apply();

private:
    std::optional<GridValues> readFields();
    void chooseColour();

    QCheckBox* solid_ = nullptr;
    QCheckBox* dotted_ = nullptr;
    QLineEdit* fields_[5] {};
    QPushButton* apply_ = nullptr;
    QPushButton* colourButton_ = nullptr;
    ColourRef colour_ = 0;
};

} // namespace tessary
