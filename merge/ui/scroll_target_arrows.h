#pragma once
#include <QWidget>

#include <functional>

class QAbstractScrollArea;
class QToolButton;

namespace tessary {

// "Scroll Target": two pairs of arrows that scroll the Target view behind a dialog one line at
// a time. The arrows move the picture: the up arrow scrolls the view one line down, the right
// arrow one line left, and the other two the other way.
class ScrollTargetArrows : public QWidget {
    Q_OBJECT
public:
    // `scroll(dx, dy)` scrolls the Target view by dx lines to the right and dy lines down. The
    // source corrections show the same arrows for the source window, titled "Scroll Source".
    ScrollTargetArrows(std::function<void(int, int)> scroll, QWidget* parent = nullptr,
        const QString& title = "Scroll Target");

    QToolButton* arrow(Qt::ArrowType type) const;

private:
    std::function<void(int, int)> scroll_;
};

// Scrolls `area` by dx lines to the right and dy lines down, one scroll-bar step a line: what the
// arrows do to the view behind the dialog.
void scrollAreaByLines(QAbstractScrollArea& area, int dx, int dy);

} // namespace tessary
