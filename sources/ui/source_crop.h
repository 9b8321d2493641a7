#pragma once
#include <QLabel>

namespace tessary {

// The size popup of a box drag in a source window: a one-line borderless field that follows
// the pointer and shows the box's size.
class source_crop : public QLabel {
    Q_OBJECT
public:
    explicit source_crop(QWidget* parent);

    // "Size X,Y = " followed by the width, " ," and the height.
    static QString sizeText(int width, int height);
    // Shows the size, the field sized to its text.
    void showSize(int width, int height);
};

} // namespace tessary
