#include "merge/ui/scroll_target_arrows.h"

#include <QAbstractScrollArea>
#include <QGridLayout>
#include <QLabel>
#include <QScrollBar>
#include <QToolButton>
#include <cstdlib>

namespace tessary {

ScrollTargetArrows::ScrollTargetArrows(std::function<void(int, int)> scroll, QWidget* parent, const QString& title)
    : QWidget(parent)
    , scroll_(std::move(scroll))
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    auto* label = new QLabel(title, this);
    grid->addWidget(label, 0, 0, 1, 3);
    struct Place {
        Qt::ArrowType type;
        const char* name;
        int row, column, dx, dy;
    };
    const Place places[] = {
        { Qt::UpArrow, "scrollUpArrow", 1, 1, 0, 1 },
        { Qt::DownArrow, "scrollDownArrow", 3, 1, 0, -1 },
        { Qt::LeftArrow, "scrollLeftArrow", 2, 0, 1, 0 },
        { Qt::RightArrow, "scrollRightArrow", 2, 2, -1, 0 },
    };
    for (const Place& p : places) {
        auto* button = new QToolButton(this);
        button->setObjectName(p.name);
        button->setArrowType(p.type);
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        const int dx = p.dx, dy = p.dy;
        connect(button, &QToolButton::clicked, this, [this, dx, dy] {
            if (scroll_)
                scroll_(dx, dy);
        });
        grid->addWidget(button, p.row, p.column);
    }
}

QToolButton* ScrollTargetArrows::arrow(Qt::ArrowType type) const
{
    for (QToolButton* button : findChildren<QToolButton*>())
        if (button->arrowType() == type)
            return button;
    return nullptr;
}

void scrollAreaByLines(QAbstractScrollArea& area, int dx, int dy)
{
    for (auto [bar, steps] :
        { std::pair { area.horizontalScrollBar(), dx }, std::pair { area.verticalScrollBar(), dy } })
        for (int n = 0; n < std::abs(steps); ++n)
            bar->triggerAction(
                steps > 0 ? QAbstractSlider::SliderSingleStepAdd : QAbstractSlider::SliderSingleStepSub);
}

} // namespace tessary
