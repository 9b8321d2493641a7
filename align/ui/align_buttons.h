#pragma once
#include "align/quick_align.h"

#include <QAbstractButton>
#include <cstdint>

namespace tessary {

// One quick-align strip beside the align preview: the nudge arrow then one numbered column per
// loaded source, with the selected source's own column in grey. It only reports where the
// mouse is and where a click landed; the Align view does the work.
class align_buttons : public QAbstractButton {
    Q_OBJECT
public:
    align_buttons(StripSide side, QWidget* parent);

    StripSide side() const { return side_; }
    // Resizes to the source count and repaints with the selected column in grey.
    void setSources(int32_t sourceCount, int32_t selectedSource);
    // Where the last press landed.
    const StripHit& pressed() const { return pressed_; }
    // Whether a hover at `hit` differs in zone or half from the one before, remembering it.
    bool hoverChanged(const StripHit& hit);

signals:
    void hovered(tessary::StripSide side, tessary::StripHit hit, QPoint at);
    // A move while the strip's button is held down.
    void movedWhilePressed();
    void stripClicked(tessary::StripSide side, tessary::StripHit hit);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    StripSide side_;
    int32_t sourceCount_ = 0;
    int32_t selected_ = 1;
    StripHit pressed_ {};
    StripHit lastHover_ { -2, false };
};

} // namespace tessary
