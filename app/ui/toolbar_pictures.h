#pragma once
#include <QIcon>
#include <QPixmap>

namespace tessary {

// The pictures of the program: toolbar buttons and the program icon, drawn here rather than
// shipped as files. Toolbar pictures are kToolbarImageSize square.
constexpr int kToolbarImageSize = 16;

enum class Picture {
    // Align toolbar
    CenterVertically,
    CenterHorizontally,
    VerticalStretch,
    HorizontalStretch,
    EditText,
    // source window toolbar
    Reload,
    GrayScale,
    BrightnessContrast,
    CylindricalProjection,
    Trapezoid,
    Skew,
    GridLines,
    Pincushion,
    MakeAllTransparent,
    MakeAllOpaque,
};

QIcon pictureIcon(Picture picture);
// The button of source `number` (1..8) on the source-selection toolbar.
QIcon sourceButtonIcon(int number);

} // namespace tessary
