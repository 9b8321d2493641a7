#pragma once
#include <QIcon>
#include <QSize>

namespace tessary {

// The pictures of the Align view's own buttons, drawn here: the large "load image" and "new
// text" buttons, and the two small arrows that page through the startup tips.
enum class AlignButtonPicture { LoadImage, NewText, PreviousTip, NextTip };

QIcon alignButtonIcon(AlignButtonPicture picture, QSize size);

} // namespace tessary
