#pragma once
#include <QLabel>

namespace tessary {

// The pop-up that shows the zone's size during a drag in the Target view: a borderless window
// with a single text field, placed beside the pointer. It never takes the focus.
class dest_coords : public QLabel {
    Q_OBJECT
public:
    // Shown at once, top-left corner at `globalPos` (screen coordinates).
    explicit dest_coords(const QPoint& globalPos, QWidget* parent = nullptr);
    void showText(const QString& text);
};

} // namespace tessary
