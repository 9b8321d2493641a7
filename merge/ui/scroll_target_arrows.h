#pragma once
#include <QWidget>

#include <functional>

class QToolButton;

namespace tessary {

// "Scroll Target": two pairs of arrows that scroll the Target view behind a dialog one line at
// a time. The arrows move the picture: the up arrow scrolls the view one line down, the right
// arrow one line left, and the other two the other way.
class ScrollTargetArrows : public QWidget {
    Q_OBJECT
public:
    // `scroll(dx, dy)` scrolls the Target view by dx lines to the right and dy lines down.
    ScrollTargetArrows(std::function<void(int, int)> scroll, QWidget* parent = nullptr);

    QToolButton* arrow(Qt::ArrowType type) const;

private:
    std::function<void(int, int)> scroll_;
};

} // namespace tessary
