#pragma once
#include <QPixmap>

namespace tessary {

// The pictures of the Target view's buttons, drawn here rather than shipped as files.

// The "Load Target" button: 170 x 57, one picture for the normal and focused state and one for
// the pressed state.
constexpr int kLoadTargetPictureWidth = 170;
constexpr int kLoadTargetPictureHeight = 57;
QPixmap loadTargetPicture(bool pressed);

} // namespace tessary
